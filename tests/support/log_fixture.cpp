#include "support/log_fixture.h"

#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav::test {

std::filesystem::path LogDir::operator/(std::string_view utf8Name) const {
  // Slashes in a relative name become the system's separators, as the
  // program's own joins make them.
  return root / PathFromUtf8(utf8Name).make_preferred();
}

void LogFixture::WriteLog(std::string_view name, const std::vector<std::string>& lines) {
  WriteFile(dir / name, Sjis(CrLfLines(lines)));
}

std::string LogFixture::ReadFile(const std::filesystem::path& path) const {
  const auto file = files.files.find(path);
  EXPECT_NE(file, files.files.end()) << "no file " << Utf8FromPath(path);
  return file == files.files.end() ? std::string() : file->second;
}

void LogFixture::ShowAndSelect(const std::vector<std::string>& names) {
  ui.ShowDirectory(dir.path(), files.FileNames(dir.path()));
  EXPECT_TRUE(ui.Select(names)) << "a log to select is not listed";
}

void LogFixture::Load(std::string_view name) {
  const IoResult read = log.LoadLog(files, dir / name);
  EXPECT_TRUE(read.ok) << read.reason;
}

std::string LogFixture::Eml(std::string_view folder, std::string_view number) const {
  const std::string bytes = ReadFile(dir / folder / PathFromUtf8(std::string(number) + ".eml"));
  const auto text = Cp932ToUtf8(bytes);
  EXPECT_TRUE(text.has_value()) << "not code page 932 text";
  return text.value_or(bytes);
}

}  // namespace tav::test
