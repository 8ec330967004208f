// A temporary folder of logs on the real disk, the system's own file
// operations, a scripted main window showing the folder and a fresh program
// state: for what only a real file system shows (links, special files,
// full or read-only disks, other programs changing a log).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/native_file_system.h"
#include "global/program.h"
#include "scripted_ui.h"
#include "support/temp_dir.h"

namespace tav::test {

class DiskFixture : public ::testing::Test {
 protected:
  // Every box was answered by the test.
  void TearDown() override { EXPECT_EQ(ui.unanswered, 0) << "unexpected message boxes"; }

  // Writes a log of these lines (UTF-8, converted to code page 932), each
  // ended by CR LF.
  void WriteLog(std::string_view name, const std::vector<std::string>& lines);
  // Shows the folder in the main window (its regular files, sorted) and
  // selects these logs.
  void ShowAndSelect(const std::vector<std::string>& names);
  void ShowFolder(const std::filesystem::path& folder);
  void Run() { program.run.RunConversion(); }
  // The names in a folder of the temporary folder, sorted.
  std::vector<std::string> Names(std::string_view folder) const;

  TempDir dir;
  ScriptedUi ui;
  NativeFileSystem files;
  Program program{ui, files};
  Global& g = program.global;
  LogConverter converter{files};
};

}  // namespace tav::test
