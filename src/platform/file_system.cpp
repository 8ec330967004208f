#include "platform/file_system.h"

namespace tav {

IoResult FileSystem::WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  IoResult result = CheckReplaceable(path);
  if (!result.ok) return result;
  const std::unique_ptr<FreshFile> file = CreateFreshFileForOneWrite(path.parent_path(), result);
  if (!file) return result;
  result = file->Write(bytes);
  if (result.ok) result = file->Commit(path, true);
  return result;
}

IoResult FileSystem::SyncFreshFiles(const std::vector<std::unique_ptr<FreshFile>>& files) {
  for (const auto& file : files) {
    if (IoResult synced = file->Sync(); !synced.ok) return synced;
  }
  return IoResult::Success();
}

}  // namespace tav
