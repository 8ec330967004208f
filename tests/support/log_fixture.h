// A folder of logs in a file system held in memory, a scripted main window
// showing it and a fresh program state over them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fake_file_system.h"
#include "global/program.h"
#include "scripted_ui.h"
#include "support/temp_dir.h"

namespace tav::test {

// The folder the logs are in, named like a temporary folder: `dir / "a.log"`.
struct LogDir {
  std::filesystem::path root = std::filesystem::path("/logs").make_preferred();
  const std::filesystem::path& path() const { return root; }
  std::filesystem::path operator/(std::string_view utf8Name) const;
};

class LogFixture : public ::testing::Test {
 protected:
  LogFixture() { files.AddFolder(dir.path()); }
  // Every box was answered by the test.
  void TearDown() override { EXPECT_EQ(ui.unanswered, 0) << "unexpected message boxes"; }

  // Writes a log of these lines (UTF-8, converted to code page 932), each
  // ended by CR LF.
  void WriteLog(std::string_view name, const std::vector<std::string>& lines);
  void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    files.AddFile(path, std::string(bytes));
  }
  std::string ReadFile(const std::filesystem::path& path) const;
  // Shows the folder in the main window and selects these logs.
  void ShowAndSelect(const std::vector<std::string>& names);
  // Loads one log the way a conversion does, without converting it.
  void Load(std::string_view name);
  // Runs a conversion over the selected logs.
  void Run() { program.run.RunConversion(); }
  // The .eml file `number` in output folder `folder`, as UTF-8 text.
  std::string Eml(std::string_view folder, std::string_view number) const;
  bool Exists(std::string_view relative) { return files.Exists(dir / relative); }

  LogDir dir;
  ScriptedUi ui;
  FakeFileSystem files;
  Program program{ui, files};
  Global& g = program.global;
  LoadedLog log;  // what Load() loaded
};

}  // namespace tav::test
