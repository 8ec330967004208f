#include "memory_file_system.h"

namespace tav::fuzz {

DirResult MemoryFileSystem::MakeDirectory(const std::filesystem::path& path) {
  if (folders.contains(path)) return {DirStatus::ExistsAsFolder, "File exists"};
  if (files.contains(path)) return {DirStatus::ExistsAsOther, "File exists"};
  if (!folders.contains(path.parent_path()))
    return {DirStatus::Failed, "No such file or directory"};
  folders.insert(path);
  madeFolders.push_back(path);
  return {DirStatus::Created, {}};
}

IoResult MemoryFileSystem::ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  if (folders.contains(path)) return IoResult::Failure("Is a directory");
  const auto file = files.find(path);
  if (file == files.end()) return IoResult::Failure("No such file or directory");
  bytes = file->second;
  return IoResult::Success();
}

IoResult MemoryFileSystem::WriteWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes) {
  if (folders.contains(path)) return IoResult::Failure("Is a directory");
  if (!folders.contains(path.parent_path())) {
    return IoResult::Failure("No such file or directory");
  }
  files[path] = std::string(bytes);
  writtenFiles.push_back(path);
  return IoResult::Success();
}

}  // namespace tav::fuzz
