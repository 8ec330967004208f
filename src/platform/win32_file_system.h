// The file operations on Windows, through the wide-character API so that
// any file name works.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/fresh_names.h"

namespace tav {

class Win32FileSystem : public FileSystem {
 public:
  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) override;
  std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                             IoResult& failure) override;
  bool Exists(const std::filesystem::path& path) override;
  IoResult ListFolder(const std::filesystem::path& folder,
                      std::vector<FolderEntry>& entries) override;
  IoResult SyncFolder(const std::filesystem::path& folder) override;
  bool RemoveAbandoned(const std::filesystem::path& path) override;

 protected:
  IoResult CheckReplaceable(const std::filesystem::path& path) override;

 private:
  FreshNames names_;
};

}  // namespace tav
