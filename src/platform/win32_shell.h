// The shell operations on Windows.
#pragma once

#include "platform/shell.h"

namespace tav {

class Win32Shell : public Shell {
 public:
  std::filesystem::path WindowsDirectory() override;
  std::filesystem::path ProgramPath() override;
  IoResult StartProcess(const std::string& commandLine) override;
  void OpenWithSystem(const std::string& target) override;
};

}  // namespace tav
