// One program state of the window program: the shared procedures and
// settings of module `global` and the conversion run, over a window and a
// file system. A test or a front end makes a fresh one in one line.
#pragma once

#include "global/conversion_run.h"
#include "global/global.h"

namespace tav {

struct Program {
  Program(Ui& ui, FileSystem& files, Shell* shell = nullptr) : global(ui, files, shell), run(global) {}

  Global global;
  ConversionRun run;
};

}  // namespace tav
