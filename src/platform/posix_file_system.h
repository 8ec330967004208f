// The file operations on POSIX systems (Linux, macOS).
#pragma once

#include "platform/file_system.h"

namespace tav {

class PosixFileSystem : public FileSystem {
 public:
  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override;
  // A large regular file is mapped (see MappedLog); any other file is read.
  IoResult ReadWholeLog(const std::filesystem::path& path, FileBytes& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;

 private:
  // The folder that MakeDirectory created last, as long as no other folder
  // was asked for since. It was empty when made, so everything in it was
  // put there by WriteWholeFile: a target there is either missing or a file
  // written before, which saves looking the target up before each write
  // (a conversion writes thousands of files into its new folder).
  std::string newFolder_;
  // Whether files created in newFolder_ come out writable (the umask or a
  // default ACL can make them read-only); learnt from the first one.
  enum class NewFiles { Unknown, Writable, ReadOnly };
  NewFiles newFiles_ = NewFiles::Unknown;
};

// The name of the temporary file that WriteWholeFile fills before renaming
// it over `path`: in the same folder, so the rename never crosses devices.
std::filesystem::path TemporarySibling(const std::filesystem::path& path);

}  // namespace tav
