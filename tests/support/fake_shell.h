// A shell that records what it is asked to start and open, and fails the
// starts it is told to fail.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tav::test {

class FakeShell : public Shell {
 public:
  std::filesystem::path windowsDirectory;
  std::filesystem::path programPath;
  std::vector<std::string> started;     // command lines, in order
  std::vector<std::string> opened;      // targets, in order
  std::set<std::string> failingStarts;  // command lines that do not start

  std::filesystem::path WindowsDirectory() override { return windowsDirectory; }
  std::filesystem::path ProgramPath() override { return programPath; }
  IoResult StartProcess(const std::string& commandLine) override {
    if (failingStarts.count(commandLine) != 0) return IoResult::Failure("file not found");
    started.push_back(commandLine);
    return IoResult::Success();
  }
  void OpenWithSystem(const std::string& target) override { opened.push_back(target); }
};

}  // namespace tav::test
