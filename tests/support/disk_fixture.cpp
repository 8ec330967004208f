#include "support/disk_fixture.h"

#include <algorithm>

#include "platform/paths.h"

namespace tav::test {

void DiskFixture::WriteLog(std::string_view name, const std::vector<std::string>& lines) {
  WriteFile(dir / name, Sjis(CrLfLines(lines)));
}

void DiskFixture::ShowFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  ui.ShowDirectory(folder, names);
}

void DiskFixture::ShowAndSelect(const std::vector<std::string>& names) {
  ShowFolder(dir.path());
  EXPECT_TRUE(ui.Select(names)) << "a log to select is not listed";
}

std::vector<std::string> DiskFixture::Names(std::string_view folder) const {
  return FolderNames(dir / folder);
}

}  // namespace tav::test
