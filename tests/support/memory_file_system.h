// Files held in memory, with paths that can be made to fail.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace tav::test {

class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::filesystem::path, std::string> contents;
  std::set<std::filesystem::path> readOnly;

  DirResult MakeDirectory(const std::filesystem::path&) override { return {}; }
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override {
    const auto found = contents.find(path);
    if (found == contents.end()) return IoResult::Failure("no such file");
    bytes = found->second;
    return IoResult::Success();
  }
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override {
    if (readOnly.count(path) != 0) return IoResult::Failure("read-only file");
    contents[path] = std::string(bytes);
    return IoResult::Success();
  }
};

}  // namespace tav::test
