#include "support/log_fixture.h"

#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav::test {

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void LogFixture::WriteLog(std::string_view name, const std::vector<std::string>& lines) {
  WriteFile(dir / name, Sjis(CrLfLines(lines)));
}

void LogFixture::ShowAndSelect(const std::vector<std::string>& names) {
  ui.ShowDirectory(dir.path());
  ui.Select(names);
}

void LogFixture::Load(std::string_view name) {
  ui.ShowDirectory(dir.path());
  g.SelectedNames.assign(ui.files.size(), {});
  for (std::size_t i = 0; i < ui.files.size(); ++i) {
    if (ui.files[i].name == PathFromUtf8(name)) g.CurFileIndex = static_cast<int>(i);
  }
  g.SelectedNames[static_cast<std::size_t>(g.CurFileIndex)] = PathFromUtf8(name);
  if (g.DirNameLen == 0) g.DirNameLen = 3;
  g.LogPath = dir / name;
  convert.LoadLog();
}

std::string LogFixture::Eml(std::string_view folder, std::string_view number) const {
  const std::string bytes =
      ReadFile(dir.path() / PathFromUtf8(folder) / PathFromUtf8(std::string(number) + ".eml"));
  const auto text = Cp932ToUtf8(bytes);
  EXPECT_TRUE(text.has_value()) << "not code page 932 text";
  return text.value_or(bytes);
}

bool LogFixture::Exists(std::string_view relative) const {
  return std::filesystem::exists(dir / relative);
}

}  // namespace tav::test
