// The system operations of the main window and the editor commands besides
// the window itself: where Windows and the program are, starting a program
// from a command line, and opening a document or link with the system's
// handler. Implemented with Win32 calls and scripted in the tests.
#pragma once

#include <filesystem>
#include <string>

#include "platform/file_system.h"

namespace tav {

class Shell {
 public:
  virtual ~Shell() = default;

  // The Windows directory, without a final separator (C:\WINDOWS).
  virtual std::filesystem::path WindowsDirectory() = 0;
  // The full path of the running program's executable file.
  virtual std::filesystem::path ProgramPath() = 0;

  // Starts a command line (UTF-8) as a new process whose main window opens
  // normally and takes the focus. The process is not waited for; a failure
  // to start it comes back with the system's reason.
  virtual IoResult StartProcess(const std::string& commandLine) = 0;

  // Lets the system open a file or a link (UTF-8) with the program that
  // handles its type. Nothing is reported: a missing file or a type without
  // a handler shows nothing.
  virtual void OpenWithSystem(const std::string& target) = 0;
};

}  // namespace tav
