#include <iostream>
#include <vector>

#include "platform/native_file_system.h"
#include "tavconv.h"

#ifdef _WIN32
// wmain: the arguments arrive as UTF-16, so any file name works.
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  const std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  tav::NativeFileSystem files;
  return tav::RunTavconv(args, std::cout, std::cerr, files);
}
