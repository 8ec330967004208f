// The file operations on POSIX systems (Linux, macOS).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/fresh_names.h"

namespace tav {

// The system calls that finish a written file, which a test replaces to
// see the program through their failures: a close that reports a late
// write error, a file system without hard links.
struct PosixCalls {
  int (*close)(int) = ::close;
  int (*link)(const char*, const char*) = ::link;
  int (*rename)(const char*, const char*) = ::rename;
};

class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem() = default;
  explicit PosixFileSystem(PosixCalls calls) : calls_(calls) {}
  // Fresh names from a fixed seed: the same names on every run (for tests).
  PosixFileSystem(PosixCalls calls, std::uint64_t seed) : calls_(calls), names_(seed) {}

  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) override;
  std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                             IoResult& failure) override;
  bool Exists(const std::filesystem::path& path) override;
  IoResult ListFolder(const std::filesystem::path& folder,
                      std::vector<FolderEntry>& entries) override;
  IoResult SyncFreshFiles(const std::vector<std::unique_ptr<FreshFile>>& files) override;
  IoResult SyncFolder(const std::filesystem::path& folder) override;
  bool RemoveAbandoned(const std::filesystem::path& path) override;

 protected:
  IoResult CheckReplaceable(const std::filesystem::path& path) override;
  // Without the lock: a file written and renamed at once is gone long before
  // another run would take it for abandoned, and the lock costs a call (of
  // a few percent of a conversion's time) for every file.
  std::unique_ptr<FreshFile> CreateFreshFileForOneWrite(const std::filesystem::path& folder,
                                                        IoResult& failure) override;

 private:
  std::unique_ptr<FreshFile> CreateFresh(const std::filesystem::path& folder, IoResult& failure,
                                         bool lock);
  // True when `path` names an entry directly in newFolder_.
  bool InNewFolder(const std::string& path) const;

  PosixCalls calls_;
  FreshNames names_;
  // The folder that MakeDirectory created last, as long as no other folder
  // was asked for since. It was empty when made, so everything in it was
  // put there by this object: a target there is either missing or a file
  // written before, which saves looking the target up before each write
  // (a conversion writes thousands of files into its new folder).
  std::string newFolder_;
  // Whether files created in newFolder_ come out writable (the umask or a
  // default ACL can make them read-only); learnt from the first one.
  enum class NewFiles { Unknown, Writable, ReadOnly };
  NewFiles newFiles_ = NewFiles::Unknown;
};

}  // namespace tav
