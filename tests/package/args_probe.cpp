// Stands in for tavconv.exe beside the package's .cmd files: writes the
// arguments it was given, one per line in UTF-8, to args.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

int wmain(int argc, wchar_t** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
    argument.resize(argument.size() - 1);
    text += argument + "\n";
  }
  const std::filesystem::path file = std::filesystem::path(argv[0]).parent_path() / L"args.txt";
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (out == nullptr) return 1;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return 0;
}
