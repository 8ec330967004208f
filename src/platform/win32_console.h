// Output to a Windows console. The program's text is UTF-8, which a console
// shows rightly whatever its code page only when it is given as UTF-16
// through WriteConsoleW. A file or a pipe gets the UTF-8 bytes as they are.
#pragma once

#include <windows.h>

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace tav {

// A stream buffer that writes UTF-8 text to a console as UTF-16. A
// character cut between two writes waits for its remaining bytes; bytes
// that are not UTF-8 show as U+FFFD.
class Win32ConsoleBuffer : public std::streambuf {
 public:
  explicit Win32ConsoleBuffer(HANDLE console);
  ~Win32ConsoleBuffer() override;

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes the whole characters held, or with `last` every byte held.
  bool WriteOut(bool last = false);

  HANDLE console_;
  char buffer_[1024];
  std::string cut_;  // the start of a character whose end has not come yet
};

// While it lives, `stream` writes through a Win32ConsoleBuffer when the
// standard handle `which` (STD_OUTPUT_HANDLE or STD_ERROR_HANDLE) is a
// console, and as before otherwise.
class ConsoleStream {
 public:
  ConsoleStream(std::ostream& stream, DWORD which);
  ~ConsoleStream();
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;

 private:
  std::ostream& stream_;
  std::streambuf* before_ = nullptr;
  std::unique_ptr<Win32ConsoleBuffer> console_;
};

}  // namespace tav
