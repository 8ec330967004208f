// A fresh directory for one test, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tav::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view utf8Name) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file; fails the test when it cannot.
std::string ReadFile(const std::filesystem::path& path);
// Writes a whole file (creating or replacing it).
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

// The names (UTF-8) of the entries of a folder, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);

// Lines of a log: CR LF after each.
std::string CrLfLines(const std::vector<std::string>& lines);

// UTF-8 test text in code page 932 bytes; fails the test when it cannot be encoded.
std::string Sjis(std::string_view utf8);

}  // namespace tav::test
