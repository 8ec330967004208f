#include <exception>
#include <iostream>
#include <vector>

#include "platform/interrupts.h"
#include "platform/native_file_system.h"
#include "tavconv.h"
#ifdef _WIN32
#include "platform/win32_console.h"
#endif

namespace {

int Run(const std::vector<std::filesystem::path>& args) {
  // The last guard: whatever goes wrong ends in a message and a status.
  try {
    tav::CatchInterrupts();
    int status = 0;
    {
      tav::NativeFileSystem files;
      status = tav::RunTavconv(args, std::cout, std::cerr, files);
    }
    // Stopped by a signal: everything is cleaned up; end as the signal would.
    if (const int signal = tav::InterruptSignal()) tav::EndWithSignal(signal);
    return status;
  } catch (const std::exception& error) {
    std::cerr << "tavconv: " << error.what() << "\n";
  } catch (...) {
    std::cerr << "tavconv: unknown exception\n";
  }
  return tav::kExitFailure;
}

}  // namespace

#ifdef _WIN32
// wmain: the arguments arrive as UTF-16, so any file name works. A console
// is written in UTF-16, whatever its code page; a file or a pipe in UTF-8.
int wmain(int argc, wchar_t** argv) {
  const tav::ConsoleStream out(std::cout, STD_OUTPUT_HANDLE);
  const tav::ConsoleStream errors(std::cerr, STD_ERROR_HANDLE);
  return Run(std::vector<std::filesystem::path>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
  return Run(std::vector<std::filesystem::path>(argv + 1, argv + argc));
}
#endif
