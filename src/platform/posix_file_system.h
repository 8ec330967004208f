// The file operations on POSIX systems (Linux, macOS).
#pragma once

#include <cstdint>
#include <random>

#include "platform/file_system.h"

namespace tav {

class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem();

  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;
  std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                             IoResult& failure) override;
  bool Exists(const std::filesystem::path& path) override;

 private:
  // Opens a file of a fresh name in `folder` for writing, exclusively, and
  // sets `path` to it; -1 with errno set when it cannot.
  int OpenFresh(std::string_view folder, std::string& path);

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
  // Fresh names: random, so that two runs (or a run and a user's file) do
  // not even try the same name; the exclusive creation settles the rest.
  std::mt19937_64 names_;
  std::string freshName_;
};

}  // namespace tav
