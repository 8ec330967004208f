// The file operations that the program's logic needs. Implemented with POSIX
// calls and with Win32 calls; the tests, the fuzz targets and the benchmark
// share one fake held in memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bulk_allocator.h"

namespace tav {

// The bytes of a whole file as read: not cleared before the read fills them.
using FileBytes = std::vector<char, BulkAllocator<char>>;

inline std::string_view View(const FileBytes& bytes) {
  return {bytes.data(), bytes.size()};
}

// The outcome of a file operation; `reason` is the system's text for a failure.
struct IoResult {
  bool ok = true;
  std::string reason;

  static IoResult Success() { return {}; }
  static IoResult Failure(std::string why) { return {false, std::move(why)}; }
};

enum class DirStatus {
  Created,
  ExistsAsFolder,  // a folder of that name is there already
  ExistsAsOther,   // a file or another entry of that name is there
  Failed,          // any other failure; see `reason`
};

struct DirResult {
  DirStatus status = DirStatus::Created;
  std::string reason;
};

// One entry of a folder.
struct FolderEntry {
  std::filesystem::path name;
  bool isFile = false;       // a regular file
  std::int64_t modified = 0;  // when its content last changed; larger is later
};

// A file of a fresh name, created for one writer alone, being filled. While
// it is being filled, no other run takes it for abandoned (a lock on POSIX,
// no sharing on Windows); WriteWholeFile's, filled with one write and
// renamed at once, goes without the lock on POSIX, where a file must also
// have stayed unchanged for a minute before it counts as abandoned. It
// becomes a real file only when it is committed; otherwise it is removed.
class FreshFile {
 public:
  virtual ~FreshFile() = default;
  virtual IoResult Write(std::string_view bytes) = 0;
  // Reads `size` bytes written before, from `offset`, into `out`.
  virtual IoResult Read(std::uint64_t offset, std::size_t size, std::string& out) = 0;
  // Puts what was written on the disk (its name not yet).
  virtual IoResult Sync() = 0;
  // Closes the file and renames it to `target` (on the same volume). An
  // existing target is replaced, or with `replace` false left alone and
  // the commit refused.
  virtual IoResult Commit(const std::filesystem::path& target, bool replace) = 0;
};

// One thread may write whole files (WriteWholeFile) while another reads
// files that are not among them, lists folders and asks what exists; every
// other use is one thread's at a time.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Creates one directory whose parent exists.
  virtual DirResult MakeDirectory(const std::filesystem::path& path) = 0;

  // Reads a whole regular file into `bytes` (replacing its content). Anything
  // else (a folder, a pipe, a device, a socket) is refused without being read,
  // so a pipe without a writer cannot hold the program up. A file too large
  // for the memory is refused like an unreadable one.
  virtual IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) = 0;

  // Creates or replaces a file with `bytes`: they go to a fresh file in the
  // same folder, which is then renamed over the target, so a failure never
  // leaves a truncated file in its place. A folder or a read-only file at
  // the target is not replaced and counts as a failure. Every file system
  // writes this one way; a test's decorator may hook it.
  virtual IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

  // Creates a file of a name no other file has in `folder`, exclusively, so
  // that neither another run nor a user's file can ever share it. Nullptr,
  // with the reason in `failure`, when it cannot be made.
  virtual std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                                     IoResult& failure) = 0;

  // True when an entry of that name exists (a dangling link included).
  virtual bool Exists(const std::filesystem::path& path) = 0;

  // The entries of a folder, in no particular order.
  virtual IoResult ListFolder(const std::filesystem::path& folder,
                              std::vector<FolderEntry>& entries) = 0;

  // Puts what was written to these fresh files on the disk; one call covers
  // them all where the system allows.
  virtual IoResult SyncFreshFiles(const std::vector<std::unique_ptr<FreshFile>>& files);
  // Puts the names in a folder (files renamed into it) on the disk.
  virtual IoResult SyncFolder(const std::filesystem::path& folder) = 0;

  // Removes a fresh file that a run left behind when it was killed, unless
  // a run is still filling it (or, on POSIX, it changed within the last
  // minute). True when it was removed.
  virtual bool RemoveAbandoned(const std::filesystem::path& path) = 0;

 protected:
  // Why a file at `path` must not be replaced (a folder, a read-only file),
  // before anything is written; success when it may be.
  virtual IoResult CheckReplaceable(const std::filesystem::path& path) = 0;
  // The fresh file of WriteWholeFile, written once and committed at once.
  virtual std::unique_ptr<FreshFile> CreateFreshFileForOneWrite(const std::filesystem::path& folder,
                                                                IoResult& failure) {
    return CreateFreshFile(folder, failure);
  }
};

}  // namespace tav
