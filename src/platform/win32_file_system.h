// The file operations on Windows, through the wide-character API so that
// any file name works.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

#include "platform/file_system.h"

namespace tav {

class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem();

  DirResult MakeDirectory(const std::filesystem::path& path) override;
  IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) override;
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override;
  std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                             IoResult& failure) override;
  bool Exists(const std::filesystem::path& path) override;

 private:
  // Creates a file of a fresh name in `folder`, exclusively (CREATE_NEW), and
  // sets `path` to it as the W functions take it; an invalid handle with the
  // error set when it cannot.
  HANDLE CreateFresh(const std::filesystem::path& folder, std::wstring& path);

  // Random fresh names; the exclusive creation settles a clash.
  std::mt19937_64 names_;
  std::wstring freshName_;
};

}  // namespace tav
