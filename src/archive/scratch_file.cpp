#include "archive/scratch_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/paths.h"

namespace tav {

namespace {

constexpr std::size_t kFlushAt = std::size_t{256} << 10;

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
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    reason_ = Utf8FromPath(path_) + ": " + std::strerror(errno);
  }
  pending_.clear();
}

void ScratchFile::Read(std::uint64_t offset, std::size_t size, std::string& out) {
  Flush();
  out.resize(size);
  if (size == 0 || !ok()) return;
  if (Seek(file_, offset) != 0 || std::fread(out.data(), 1, size, file_) != size) {
    reason_ = Utf8FromPath(path_) + ": cannot be read back";
    out.clear();
  }
}

}  // namespace tav
