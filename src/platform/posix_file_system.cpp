#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
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
int RenameWithoutReplacing(const PosixCalls& calls, const std::string& from,
                           const std::filesystem::path& to) {
  if (calls.link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) return EEXIST;
  return calls.rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

class PosixFreshFile : public FreshFile {
 public:
  PosixFreshFile(const PosixCalls& calls, int fd, std::string path)
      : calls_(calls), fd_(fd), path_(std::move(path)) {}
  ~PosixFreshFile() override {
    if (!committed_) {
      if (fd_ >= 0) ::close(fd_);
      ::unlink(path_.c_str());
    }
  }
  PosixFreshFile(const PosixFreshFile&) = delete;
  PosixFreshFile& operator=(const PosixFreshFile&) = delete;

  IoResult Write(std::string_view bytes) override {
    if (const int error = WriteAll(fd_, bytes)) return ErrnoFailure(error);
    return IoResult::Success();
  }

  IoResult Read(std::uint64_t offset, std::size_t size, std::string& out) override {
    out.resize(size);
    for (std::size_t done = 0; done < size;) {
      const ssize_t got = ::pread(fd_, out.data() + done, size - done,
                                  static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return got == 0 ? IoResult::Failure("unexpected end of file") : ErrnoFailure(errno);
      done += static_cast<std::size_t>(got);
    }
    return IoResult::Success();
  }

  IoResult Sync() override {
#ifdef __APPLE__
    const int synced = ::fsync(fd_);
#else
    const int synced = ::fdatasync(fd_);
#endif
    return synced == 0 ? IoResult::Success() : ErrnoFailure(errno);
  }

  int fd() const { return fd_; }

  IoResult Commit(const std::filesystem::path& target, bool replace) override {
    // A close that fails reports a write that did not reach the file.
    const int closed = calls_.close(fd_);
    fd_ = -1;
    if (closed != 0) return ErrnoFailure(errno);
    const int error =
        replace ? (calls_.rename(path_.c_str(), target.c_str()) == 0 ? 0 : errno)
                : RenameWithoutReplacing(calls_, path_, target);
    if (error != 0) return ErrnoFailure(error);
    committed_ = true;
    return IoResult::Success();
  }

 private:
  const PosixCalls& calls_;
  int fd_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

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

bool PosixFileSystem::InNewFolder(const std::string& path) const {
  // Compared as text: building the parent as a path costs more than the
  // lookup it saves. A name that only differs in spelling ("a//b") just
  // takes the lookup.
  const std::size_t folderSize = newFolder_.size();
  return folderSize > 0 && path.size() > folderSize + 1 &&
         path.compare(0, folderSize, newFolder_) == 0 && path[folderSize] == '/' &&
         path.find('/', folderSize + 1) == std::string::npos;
}

IoResult PosixFileSystem::CheckReplaceable(const std::filesystem::path& path) {
  if (newFiles_ == NewFiles::Writable && InNewFolder(path.native())) return IoResult::Success();
  if (const int refused = RefusedTarget(path)) return ErrnoFailure(refused);
  return IoResult::Success();
}

std::unique_ptr<FreshFile> PosixFileSystem::CreateFreshFile(const std::filesystem::path& folder,
                                                            IoResult& failure) {
  return CreateFresh(folder, failure, true);
}

std::unique_ptr<FreshFile> PosixFileSystem::CreateFreshFileForOneWrite(
    const std::filesystem::path& folder, IoResult& failure) {
  return CreateFresh(folder, failure, false);
}

std::unique_ptr<FreshFile> PosixFileSystem::CreateFresh(const std::filesystem::path& folder,
                                                        IoResult& failure, bool lock) {
  std::string path;
  const int fd = names_.MakeFresh(
      [&](const std::string& name) {
        path = folder.native();
        if (!path.empty()) path += '/';
        path += name;
        return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      },
      [](int made) { return made < 0 && errno == EEXIST; });
  if (fd < 0) {
    failure = ErrnoFailure(errno);
    return nullptr;
  }
  // Held as long as the file is open: a later run leaves a locked fresh
  // file alone. A file system without locks still writes.
  if (lock) ::flock(fd, LOCK_EX | LOCK_NB);
  if (newFiles_ == NewFiles::Unknown && !newFolder_.empty() && folder.native() == newFolder_) {
    struct stat created {};
    if (::fstat(fd, &created) == 0) {
      newFiles_ = (created.st_mode & 0222) != 0 ? NewFiles::Writable : NewFiles::ReadOnly;
    }
  }
  return std::make_unique<PosixFreshFile>(calls_, fd, std::move(path));
}

IoResult PosixFileSystem::ListFolder(const std::filesystem::path& folder,
                                     std::vector<FolderEntry>& entries) {
  entries.clear();
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoFailure(errno);
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    ::close(fd);
    return ErrnoFailure(error);
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
    FolderEntry found;
    found.name = std::filesystem::path(std::string(name));
    found.isFile = S_ISREG(info.st_mode);
#ifdef __APPLE__
    found.modified = info.st_mtimespec.tv_sec * 1'000'000'000LL + info.st_mtimespec.tv_nsec;
#else
    found.modified = info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec;
#endif
    entries.push_back(std::move(found));
  }
  ::closedir(dir);
  return IoResult::Success();
}

IoResult PosixFileSystem::SyncFreshFiles(const std::vector<std::unique_ptr<FreshFile>>& files) {
#ifdef __linux__
  // One syncfs covers every file of the file system; it pays from two files on.
  if (files.size() > 1) {
    if (const auto* file = dynamic_cast<const PosixFreshFile*>(files.front().get())) {
      return ::syncfs(file->fd()) == 0 ? IoResult::Success() : ErrnoFailure(errno);
    }
  }
#endif
  return FileSystem::SyncFreshFiles(files);
}

IoResult PosixFileSystem::SyncFolder(const std::filesystem::path& folder) {
  const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return ErrnoFailure(errno);
  return ::fsync(fd.get()) == 0 ? IoResult::Success() : ErrnoFailure(errno);
}

bool PosixFileSystem::RemoveAbandoned(const std::filesystem::path& path) {
  const FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return false;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  // The run that filled it holds its lock until it is renamed away; a file
  // just made may not be locked yet, so a minute must have passed as well.
  if (::time(nullptr) - info.st_mtime < 60) return false;
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
  return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::Exists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace tav
