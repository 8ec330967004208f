// A scratch file that is appended to and read back at any place: where the
// archive keeps bodies and search postings that do not fit in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tav {

class ScratchFile {
 public:
  ScratchFile() = default;
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  IoResult Open(const std::filesystem::path& path);
  // Appends `bytes`; returns where they start.
  std::uint64_t Append(std::string_view bytes);
  // Replaces `out` with `size` bytes from `offset`.
  void Read(std::uint64_t offset, std::size_t size, std::string& out);
  // Bytes appended so far.
  std::uint64_t size() const { return size_; }
  // Closes and removes the file.
  void Close();
  // False once a write or read failed; `reason` says why.
  bool ok() const { return reason_.empty(); }
  const std::string& reason() const { return reason_; }

 private:
  void Flush();
  // Reads `size` bytes at `offset` into `out`.
  bool ReadAt(std::uint64_t offset, std::size_t size, char* out);

  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::string pending_;  // appended bytes not yet in the file
  std::uint64_t size_ = 0;
  std::string window_;  // bytes read ahead, from windowStart_ on
  std::uint64_t windowStart_ = 0;
  std::string reason_;
};

}  // namespace tav
