#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/bulk_allocator.h"

namespace tav {

namespace {

std::string ErrnoText(int error) {
  return std::strerror(error);
}

IoResult ErrnoFailure(int error) {
  return IoResult::Failure(ErrnoText(error));
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
  // Closes now and returns the error that close gives (a late write error), or 0.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Writes all of `bytes`; 0, or the error that stopped it.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
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

// Renames `from` to `to` unless `to` exists. A hard link fails on an
// existing name, which a rename would replace; file systems without hard
// links get the check and the rename instead.
int RenameWithoutReplacing(const std::string& from, const std::filesystem::path& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

class PosixFreshFile : public FreshFile {
 public:
  PosixFreshFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixFreshFile() override {
    if (!committed_) {
      if (fd_.get() >= 0) fd_.Close();
      ::unlink(path_.c_str());
    }
  }

  IoResult Write(std::string_view bytes) override {
    if (const int error = WriteAll(fd_.get(), bytes)) return ErrnoFailure(error);
    return IoResult::Success();
  }

  IoResult Commit(const std::filesystem::path& target, bool replace) override {
    if (const int error = fd_.Close()) return ErrnoFailure(error);
    const int error = replace ? (::rename(path_.c_str(), target.c_str()) == 0 ? 0 : errno)
                              : RenameWithoutReplacing(path_, target);
    if (error != 0) return ErrnoFailure(error);
    committed_ = true;
    return IoResult::Success();
  }

 private:
  FileDescriptor fd_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

PosixFileSystem::PosixFileSystem() {
  std::random_device entropy;
  names_.seed((static_cast<std::uint64_t>(entropy()) << 32) ^ entropy() ^
              static_cast<std::uint64_t>(::getpid()));
}

int PosixFileSystem::OpenFresh(std::string_view folder, std::string& path) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    // One random name serves every write of this object in turn (each is
    // renamed away before the next), which the system finds again faster
    // than a new name per file; a clash with any other file takes another.
    if (freshName_.empty()) {
      std::uint64_t random = names_();
      freshName_ = ".tav-";
      for (int k = 0; k < 16; ++k, random >>= 4) freshName_ += kHex[random & 15];
      freshName_ += ".tmp";
    }
    path.assign(folder);
    if (!path.empty()) path += '/';
    path += freshName_;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
    freshName_.clear();
  }
  errno = EEXIST;
  return -1;
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

IoResult PosixFileSystem::ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) {
  // What the name stands for is looked at before it is opened: opening a
  // pipe waits for a writer, and opening a device can have effects.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return ErrnoFailure(errno);
  if (S_ISDIR(info.st_mode)) return ErrnoFailure(EISDIR);
  if (!S_ISREG(info.st_mode)) return IoResult::Failure("not a regular file");
  // Not blocking, should the name have become a pipe since.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return ErrnoFailure(errno);
  if (::fstat(fd.get(), &info) != 0) return ErrnoFailure(errno);
  if (!S_ISREG(info.st_mode)) return IoResult::Failure("not a regular file");

  bytes.clear();
  try {
    // Read to the end whatever the size said: a file that grows or shrinks
    // meanwhile is read as it is.
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size >= bytes.max_size()) return ErrnoFailure(EFBIG);
    bytes.resize(static_cast<std::size_t>(size) + 1);
    // The whole buffer is about to be written: its memory is asked for in
    // one go instead of a page fault for every 4 KB, which is what reading
    // cost most on these machines.
    PrefaultPages(bytes.data(), bytes.size());
    std::size_t filled = 0;
    for (;;) {
      if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
      const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
      if (got < 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        bytes.clear();
        return ErrnoFailure(error);
      }
      if (got == 0) break;
      filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
  } catch (const std::bad_alloc&) {
    bytes = FileBytes();
    return ErrnoFailure(ENOMEM);
  } catch (const std::length_error&) {
    bytes = FileBytes();
    return ErrnoFailure(EFBIG);
  }
  return IoResult::Success();
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
    if (const int refused = RefusedTarget(path)) return ErrnoFailure(refused);
  }

  // The target's folder, taken from the text: no path object per file.
  const std::size_t slash = target.rfind('/');
  const std::string_view folder = slash == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(target).substr(0, slash + (slash == 0));
  std::string temp;
  FileDescriptor fd(OpenFresh(folder, temp));
  if (fd.get() < 0) return ErrnoFailure(errno);
  if (inNewFolder && newFiles_ == NewFiles::Unknown) {
    struct stat created {};
    if (::fstat(fd.get(), &created) == 0) {
      newFiles_ = (created.st_mode & 0222) != 0 ? NewFiles::Writable : NewFiles::ReadOnly;
    }
  }
  int error = WriteAll(fd.get(), bytes);
  if (const int closeError = fd.Close(); error == 0) error = closeError;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return ErrnoFailure(error);
  }
  return IoResult::Success();
}

std::unique_ptr<FreshFile> PosixFileSystem::CreateFreshFile(const std::filesystem::path& folder,
                                                            IoResult& failure) {
  std::string name;
  const int fd = OpenFresh(folder.native(), name);
  if (fd < 0) {
    failure = ErrnoFailure(errno);
    return nullptr;
  }
  return std::make_unique<PosixFreshFile>(fd, std::move(name));
}

bool PosixFileSystem::Exists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace tav
