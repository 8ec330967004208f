#include <iostream>
#include <vector>

#include "tavconv.h"

#ifdef _WIN32
#include "platform/win32_file_system.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  tav::Win32FileSystem files;
  return tav::RunTavconv(args, std::cout, std::cerr, files);
}
#else
#include "platform/posix_file_system.h"

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  tav::PosixFileSystem files;
  return tav::RunTavconv(args, std::cout, std::cerr, files);
}
#endif
