#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/bulk_allocator.h"
#include "platform/posix_mapped_log.h"

namespace tav {

namespace {

constexpr const char* kTemporarySuffix = ".tav-tmp";

std::string ErrnoText(int error) {
  return std::strerror(error);
}

// Closes the descriptor when the scope ends, whatever path it takes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error that close gives (a late write error).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The reason a write to `path` is refused before anything is written: a
// folder, or a file without any write permission (read-only for everyone,
// whatever the caller's privileges). 0 when the write may go ahead.
int RefusedTarget(const std::filesystem::path& path) {
  struct stat target {};
  if (::lstat(path.c_str(), &target) != 0) return 0;
  if (S_ISDIR(target.st_mode)) return EISDIR;
  if (S_ISREG(target.st_mode) && (target.st_mode & 0222) == 0) return EACCES;
  return 0;
}

}  // namespace

std::filesystem::path TemporarySibling(const std::filesystem::path& path) {
  return std::filesystem::path(path.native() + kTemporarySuffix);
}

DirResult PosixFileSystem::MakeDirectory(const std::filesystem::path& path) {
  newFolder_.clear();
  newFiles_ = NewFiles::Unknown;
  if (::mkdir(path.c_str(), 0777) == 0) {
    newFolder_ = path.native();
    return {DirStatus::Created, {}};
  }
  const int error = errno;
  if (error == EEXIST) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      return {DirStatus::ExistsAsFolder, ErrnoText(error)};
    }
    return {DirStatus::ExistsAsOther, ErrnoText(error)};
  }
  return {DirStatus::Failed, ErrnoText(error)};
}

IoResult PosixFileSystem::ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return IoResult::Failure(ErrnoText(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return IoResult::Failure(ErrnoText(errno));
  if (S_ISDIR(info.st_mode)) return IoResult::Failure(ErrnoText(EISDIR));

  // Read to the end whatever the size said: a file that grows or shrinks
  // meanwhile is read as it is.
  std::size_t size = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  bytes.clear();
  bytes.reserve(size + 1);
  // The whole buffer is about to be written: its memory is asked for in
  // one go (as huge pages where the system has them) instead of a page
  // fault for every 4 KB, which is what reading cost most on these machines.
  AdviseHugePages(bytes.data(), bytes.capacity());
  PrefaultPages(bytes.data(), size + 1);
  bytes.resize(size + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      bytes.clear();
      return IoResult::Failure(ErrnoText(error));
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return IoResult::Success();
}

namespace {

// Files smaller than this are read: a mapping costs more to set up than
// the copy it saves.
constexpr std::size_t kMapFrom = std::size_t{256} << 10;

}  // namespace

IoResult PosixFileSystem::ReadWholeLog(const std::filesystem::path& path, FileBytes& bytes) {
  bytes.clear();
  {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return IoResult::Failure(ErrnoText(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return IoResult::Failure(ErrnoText(errno));
    if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) >= kMapFrom) {
      if (auto mapped = MappedLog::Map(fd.get(), static_cast<std::size_t>(info.st_size))) {
        bytes.Adopt(std::move(mapped));
        return IoResult::Success();
      }
    }
  }
  return ReadWholeFile(path, bytes.Text());
}

IoResult PosixFileSystem::WriteWholeFile(const std::filesystem::path& path,
                                         std::string_view bytes) {
  // Compared as text: building the parent as a path costs more than the
  // lookup it saves. A name that only differs in spelling ("a//b") just
  // takes the lookup.
  const std::string& target = path.native();
  const std::size_t folderSize = newFolder_.size();
  const bool inNewFolder = folderSize > 0 && target.size() > folderSize + 1 &&
                           target.compare(0, folderSize, newFolder_) == 0 &&
                           target[folderSize] == '/' &&
                           target.find('/', folderSize + 1) == std::string::npos;
  if (!inNewFolder || newFiles_ != NewFiles::Writable) {
    if (const int refused = RefusedTarget(path)) return IoResult::Failure(ErrnoText(refused));
  }

  const std::string temp = target + kTemporarySuffix;
  FileDescriptor fd(
      ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (fd.get() < 0) return IoResult::Failure(ErrnoText(errno));
  if (inNewFolder && newFiles_ == NewFiles::Unknown) {
    struct stat created {};
    if (::fstat(fd.get(), &created) == 0) {
      newFiles_ = (created.st_mode & 0222) != 0 ? NewFiles::Writable : NewFiles::ReadOnly;
    }
  }
  int error = 0;
  if (!WriteAll(fd.get(), bytes)) error = errno;
  if (fd.Close() != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return IoResult::Failure(ErrnoText(error));
  }
  return IoResult::Success();
}

}  // namespace tav
