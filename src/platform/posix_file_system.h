// The file operations on POSIX systems (Linux, macOS).
#pragma once

#include "platform/file_system.h"

namespace tav {

class PosixFileSystem : public FileSystem {
 public:
  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;
};

// The name of the temporary file that WriteWholeFile fills before renaming
// it over `path`: in the same folder, so the rename never crosses devices.
std::filesystem::path TemporarySibling(const std::filesystem::path& path);

}  // namespace tav
