// The system's file operations with failures injected by path, for the
// faults that are hard to make for real (a disk that fills, a file that
// cannot be read although it is listed).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/native_file_system.h"

namespace tav::test {

class FaultyFileSystem : public FileSystem {
 public:
  // Each returns the reason to fail with, or nullopt to do the real operation.
  using Fault = std::function<std::optional<std::string>(const std::filesystem::path&)>;
  Fault failMakeDirectory;
  Fault failRead;
  Fault failWrite;
  int writes = 0;  // real and failed writes attempted

  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override;
  IoResult ReadWholeLog(const std::filesystem::path& path, FileBytes& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;

 private:
  NativeFileSystem real_;
};

}  // namespace tav::test
