// The file operations on Windows, through the wide-character API so that
// any file name works.
#pragma once

#include "platform/file_system.h"

namespace tav {

class Win32FileSystem : public FileSystem {
 public:
  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;
};

}  // namespace tav
