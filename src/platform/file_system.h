// The file operations that the program's logic needs. Implemented with POSIX
// calls, with Win32 calls, and wrapped with injected faults in the tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_bytes.h"

namespace tav {

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

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Creates one directory whose parent exists.
  virtual DirResult MakeDirectory(const std::filesystem::path& path) = 0;

  // Reads a whole file into `bytes` (replacing its content).
  virtual IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) = 0;

  // Reads a whole log, the fastest way the system offers; the bytes are
  // the caller's to change. By default read as a string.
  virtual IoResult ReadWholeLog(const std::filesystem::path& path, FileBytes& bytes) {
    return ReadWholeFile(path, bytes.Text());
  }

  // Creates or replaces a file with `bytes`. The bytes go to a temporary file
  // in the same folder, which is then renamed over the target, so a failure
  // never leaves a truncated file in its place. A read-only target is not
  // replaced and counts as a failure.
  virtual IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) = 0;
};

}  // namespace tav
