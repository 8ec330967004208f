// The window operations for the command-line converter: one log at a time,
// shown as the only selected entry of its directory; every question is
// answered as a Full Auto run would go on, and every failure is reported on
// the error stream.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "platform/ui.h"

namespace tav {

class CliUi : public Ui {
 public:
  CliUi(std::ostream& errors, int dirNameLen) : errors_(errors), dirNameLen_(dirNameLen) {}

  // The log to convert next.
  void SetLog(const std::filesystem::path& log);

  // True once anything could not be read or written.
  bool failed() const { return failed_; }

  int ShowMsgBox(const MsgBox& box) override;
  void Beep() override {}
  void SetStatusText(int, const std::string&) override {}
  void SetStatusBold(bool) override {}
  int FileCount() override { return 1; }
  std::filesystem::path FileEntry(int) override { return name_; }
  bool FileSelected(int) override { return true; }
  std::filesystem::path DirectoryCaption() override { return directory_; }
  std::string NumberBoxText() override { return std::to_string(dirNameLen_); }
  void SetDirectoryListPath(const std::filesystem::path&) override {}

 private:
  // Writes "tavconv: <subject>: <what>" on the error stream.
  void Report(const std::filesystem::path& subject, const std::string& what);

  std::ostream& errors_;
  int dirNameLen_;
  std::filesystem::path directory_;
  std::filesystem::path name_;
  bool failed_ = false;
};

}  // namespace tav
