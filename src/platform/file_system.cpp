#include "platform/file_system.h"

namespace tav {

IoResult FileSystem::WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  IoResult result = CheckReplaceable(path);
  if (!result.ok) return result;
  const std::unique_ptr<FreshFile> file = CreateFreshFile(path.parent_path(), result);
  if (!file) return result;
  result = file->Write(bytes);
  if (result.ok) result = file->Commit(path, true);
  return result;
}

}  // namespace tav
