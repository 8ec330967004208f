// The file system held in memory, shared by the tests, the fuzz targets and
// the benchmark: fast and free of side effects, with failures injected by
// path, and a record of every folder made and file written so that a check
// can tell where the program wrote.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tav::test {

class FakeFileSystem : public FileSystem {
 public:
  // Paths are compared as given, lexically: the program forms every path it
  // uses from a folder and one name, so nothing needs resolving. The root
  // folder "/" is there from the start.
  FakeFileSystem();

  std::map<std::filesystem::path, std::string> files;
  std::set<std::filesystem::path> folders;
  // Files that cannot be replaced, and entries that are no regular files
  // (a pipe, a device): they exist, but reading them is refused.
  std::set<std::filesystem::path> readOnly;
  std::set<std::filesystem::path> special;

  // Each returns the reason to fail with, or nullopt to go on.
  using Fault = std::function<std::optional<std::string>(const std::filesystem::path&)>;
  Fault failMakeDirectory;
  Fault failRead;
  Fault failWrite;

  // Every folder made and every file written, in order; files written
  // through a fresh file count when they are committed.
  std::vector<std::filesystem::path> madeFolders;
  std::vector<std::filesystem::path> writtenFiles;
  // With keepWrittenBytes, the bytes of each entry of writtenFiles as
  // written (a file written twice keeps both).
  bool keepWrittenBytes = false;
  std::vector<std::string> writtenBytes;
  // When each file's content last changed (a counter, later is larger), and
  // the fresh files being filled now.
  std::map<std::filesystem::path, std::int64_t> modified;
  std::set<std::filesystem::path> filling;
  int syncs = 0;  // fresh files and folders put on the disk

  // A folder and the folders above it.
  void AddFolder(const std::filesystem::path& folder);
  // A file, with the folders above it.
  void AddFile(const std::filesystem::path& path, std::string bytes);
  // Removes a file, or a folder with everything in it.
  void Remove(const std::filesystem::path& path);
  // The names of the files and folders directly in `folder`, sorted.
  std::vector<std::string> Names(const std::filesystem::path& folder) const;
  // The regular files directly in `folder`, sorted, as a file list shows them.
  std::vector<std::filesystem::path> FileNames(const std::filesystem::path& folder) const;
  // The bytes of a file; empty when there is none.
  std::string Bytes(const std::filesystem::path& path) const;

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
  // Every refusal is the commit's: the fake checks the target there.
  IoResult CheckReplaceable(const std::filesystem::path&) override { return IoResult::Success(); }

 private:
  friend class FakeFreshFile;
  void Written(const std::filesystem::path& path);
  // Why `bytes` cannot go to `path` (a fault, a folder, a read-only file,
  // a missing folder); nullopt when they can.
  std::optional<std::string> RefusedWrite(const std::filesystem::path& path);

  int freshNames_ = 0;
  std::int64_t clock_ = 0;
  // The program writes files from a second thread while it reads others:
  // every operation holds this.
  mutable std::recursive_mutex mutex_;
};

}  // namespace tav::test
