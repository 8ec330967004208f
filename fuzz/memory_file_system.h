// A file system held in memory, for the fuzz targets: fast, free of side
// effects, and it records every folder made and file written so that a
// check can tell where the program wrote.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tav::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  // Paths are compared as given, lexically: the program forms every path it
  // uses from a folder and one name, so nothing needs resolving.
  std::map<std::filesystem::path, std::string> files;
  std::set<std::filesystem::path> folders;

  // Every folder made and every file written, in order.
  std::vector<std::filesystem::path> madeFolders;
  std::vector<std::filesystem::path> writtenFiles;

  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;
};

}  // namespace tav::fuzz
