// A temporary folder with logs, a scripted main window showing it and a
// fresh program state over them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "program.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace tav::test {

class LogFixture : public ::testing::Test {
 protected:
  // Writes a log of these lines (UTF-8, converted to code page 932), each
  // ended by CR LF.
  void WriteLog(std::string_view name, const std::vector<std::string>& lines);
  // Shows the folder in the main window and selects these logs.
  void ShowAndSelect(const std::vector<std::string>& names);
  // Loads one log the way a run does, without converting it.
  void Load(std::string_view name);
  // Runs a conversion over the selected logs.
  void Run() { program.convert.RunConversion(); }
  // The .eml file `number` in output folder `folder`, as UTF-8 text.
  std::string Eml(std::string_view folder, std::string_view number) const;
  bool Exists(std::string_view relative) const;

  TempDir dir;
  ScriptedUi ui;
  FaultyFileSystem files;
  Program program{ui, files};
  Global& g = program.global;
  Convert& convert = program.convert;
};

// Lines of a log: CR LF after each.
std::string CrLfLines(const std::vector<std::string>& lines);

}  // namespace tav::test
