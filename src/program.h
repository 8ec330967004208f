// One program state: the modules `global` and `convert` over a window and
// a file system. A test or a front end makes a fresh one in one line.
#pragma once

#include "convert/convert.h"
#include "global/global.h"

namespace tav {

struct Program {
  Program(Ui& ui, FileSystem& files, Shell* shell = nullptr)
      : global(ui, files, shell), convert(global) {}

  Global global;
  Convert convert;
};

}  // namespace tav
