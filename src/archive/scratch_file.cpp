#include "archive/scratch_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/paths.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tav {

namespace {

constexpr std::size_t kFlushAt = std::size_t{256} << 10;
// Bytes read at once when reading on in order.
constexpr std::size_t kWindow = std::size_t{256} << 10;

int Seek(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET);
#else
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

}  // namespace

ScratchFile::~ScratchFile() {
  Close();
}

void ScratchFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove(path_, error);
  path_.clear();
}

IoResult ScratchFile::Open(const std::filesystem::path& path) {
  path_ = path;
#ifdef _WIN32
  file_ = ::_wfopen(path.c_str(), L"w+b");
#else
  file_ = std::fopen(path.c_str(), "w+b");
#endif
  if (file_ == nullptr) return IoResult::Failure(Utf8FromPath(path) + ": " + std::strerror(errno));
  return IoResult::Success();
}

std::uint64_t ScratchFile::Append(std::string_view bytes) {
  const std::uint64_t at = size_;
  pending_ += bytes;
  size_ += bytes.size();
  if (pending_.size() >= kFlushAt) Flush();
  return at;
}

void ScratchFile::Flush() {
  if (pending_.empty() || !ok()) return;
  if (Seek(file_, size_ - pending_.size()) != 0 ||
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size() ||
      std::fflush(file_) != 0) {
    reason_ = Utf8FromPath(path_) + ": " + std::strerror(errno);
  }
  pending_.clear();
}

bool ScratchFile::ReadAt(std::uint64_t offset, std::size_t size, char* out) {
#ifdef _WIN32
  return Seek(file_, offset) == 0 && std::fread(out, 1, size, file_) == size;
#else
  const int descriptor = ::fileno(file_);
  while (size > 0) {
    const ssize_t got = ::pread(descriptor, out, size, static_cast<off_t>(offset));
    if (got <= 0) return false;
    out += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
#endif
}

void ScratchFile::Read(std::uint64_t offset, std::size_t size, std::string& out) {
  Flush();
  out.resize(size);
  if (size == 0 || !ok()) return;
  const std::uint64_t windowEnd = windowStart_ + window_.size();
  bool read = true;
  if (offset >= windowStart_ && offset + size <= windowEnd) {
    out.assign(window_, static_cast<std::size_t>(offset - windowStart_), size);
  } else if (offset == windowEnd && size < kWindow) {
    // Reading on from the last read: a window at a time, so that a pass in
    // order takes a few hundred reads rather than one per text.
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset));
    window_.resize(length);
    read = ReadAt(offset, length, window_.data());
    windowStart_ = offset;
    if (read) out.assign(window_, 0, size);
  } else {
    read = ReadAt(offset, size, out.data());
    window_.clear();
    windowStart_ = offset + size;
  }
  if (!read) {
    reason_ = Utf8FromPath(path_) + ": cannot be read back";
    out.clear();
    window_.clear();
  }
}

}  // namespace tav
