#include "platform/win32_file_system.h"

#include <windows.h>

#include <new>
#include <stdexcept>

#include "platform/win32_paths.h"
#include "platform/win32_text.h"

namespace tav {

namespace {

// Closes the handle when the scope ends, whatever path it takes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now and reports whether the close succeeded (a late write error).
  bool Close() {
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

IoResult ErrorFailure(DWORD error) {
  return IoResult::Failure(SystemErrorText(error));
}

IoResult LastErrorFailure() {
  return ErrorFailure(GetLastError());
}

// Writes all of `bytes`; ERROR_SUCCESS, or the error that stopped it.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

// Renames `from` (a path as the W functions take it) to `to`.
DWORD Rename(const std::wstring& from, const std::filesystem::path& to, bool replace) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(from.c_str(), ExtendedPath(to).c_str(), flags) ? ERROR_SUCCESS
                                                                     : GetLastError();
}

class Win32FreshFile : public FreshFile {
 public:
  Win32FreshFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
  ~Win32FreshFile() override {
    if (!committed_) {
      if (file_.valid()) file_.Close();
      DeleteFileW(path_.c_str());
    }
  }

  IoResult Write(std::string_view bytes) override {
    if (const DWORD error = WriteAll(file_.get(), bytes)) return ErrorFailure(error);
    return IoResult::Success();
  }

  IoResult Read(std::uint64_t offset, std::size_t size, std::string& out) override {
    out.resize(size);
    for (std::size_t done = 0; done < size;) {
      OVERLAPPED at{};
      const std::uint64_t from = offset + done;
      at.Offset = static_cast<DWORD>(from & 0xFFFFFFFF);
      at.OffsetHigh = static_cast<DWORD>(from >> 32);
      const DWORD chunk = size - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size - done);
      DWORD got = 0;
      if (!ReadFile(file_.get(), out.data() + done, chunk, &got, &at)) return LastErrorFailure();
      if (got == 0) return IoResult::Failure("unexpected end of file");
      done += got;
    }
    return IoResult::Success();
  }

  IoResult Sync() override {
    return FlushFileBuffers(file_.get()) ? IoResult::Success() : LastErrorFailure();
  }

  IoResult Commit(const std::filesystem::path& target, bool replace) override {
    if (!file_.Close()) return LastErrorFailure();
    if (const DWORD error = Rename(path_, target, replace)) return ErrorFailure(error);
    committed_ = true;
    return IoResult::Success();
  }

 private:
  FileHandle file_;
  std::wstring path_;  // as the W functions take it
  bool committed_ = false;
};

}  // namespace

DirResult Win32FileSystem::MakeDirectory(const std::filesystem::path& path) {
  const std::wstring target = ExtendedPath(path);
  if (CreateDirectoryW(target.c_str(), nullptr)) return {DirStatus::Created, {}};
  const DWORD error = GetLastError();
  // Whatever the error code, an entry of that name tells the kind apart: a
  // folder, or a file (or device) in the folder's place.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return {(attributes & FILE_ATTRIBUTE_DIRECTORY) ? DirStatus::ExistsAsFolder
                                                    : DirStatus::ExistsAsOther,
            SystemErrorText(error)};
  }
  return {DirStatus::Failed, SystemErrorText(error)};
}

IoResult Win32FileSystem::ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) {
  const std::wstring source = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return ErrorFailure(ERROR_DIRECTORY);
  }
  FileHandle file(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return LastErrorFailure();
  // Only files on a disk are read: a pipe or a device (CON, a serial port)
  // could wait for input for ever.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return IoResult::Failure("not a regular file");

  bytes.clear();
  try {
    // Read to the end whatever the size said: a file that grows or shrinks
    // meanwhile is read as it is.
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
      if (static_cast<std::uint64_t>(size.QuadPart) >= bytes.max_size()) {
        return ErrorFailure(ERROR_FILE_TOO_LARGE);
      }
      bytes.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
    }
    char chunk[64 * 1024];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
        const IoResult failure = LastErrorFailure();
        bytes.clear();
        return failure;
      }
      if (got == 0) break;
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
  } catch (const std::bad_alloc&) {
    bytes = FileBytes();
    return ErrorFailure(ERROR_NOT_ENOUGH_MEMORY);
  } catch (const std::length_error&) {
    bytes = FileBytes();
    return ErrorFailure(ERROR_FILE_TOO_LARGE);
  }
  return IoResult::Success();
}

IoResult Win32FileSystem::CheckReplaceable(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
  // A folder in the file's place, or a read-only file that the rename would
  // replace although its attribute says it must stay.
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return ErrorFailure(ERROR_ACCESS_DENIED);
  }
  return IoResult::Success();
}

std::unique_ptr<FreshFile> Win32FileSystem::CreateFreshFile(const std::filesystem::path& folder,
                                                            IoResult& failure) {
  std::wstring path;
  const HANDLE file = names_.MakeFresh(
      [&](const std::string& name) {
        const std::filesystem::path fresh(std::wstring(name.begin(), name.end()));
        path = ExtendedPath(folder.empty() ? fresh : folder / fresh);
        // No sharing: while it is open, no other run can take it for abandoned.
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      },
      [](HANDLE made) {
        return made == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS;
      });
  if (file == INVALID_HANDLE_VALUE) {
    failure = LastErrorFailure();
    return nullptr;
  }
  return std::make_unique<Win32FreshFile>(file, std::move(path));
}

IoResult Win32FileSystem::ListFolder(const std::filesystem::path& folder,
                                     std::vector<FolderEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileExW(ExtendedPath(folder / L"*").c_str(), FindExInfoBasic,
                                         &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? IoResult::Success() : ErrorFailure(error);
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    FolderEntry entry;
    entry.name = std::filesystem::path(std::wstring(name));
    entry.isFile = (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                              FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    entry.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
        found.ftLastWriteTime.dwLowDateTime);
    entries.push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return IoResult::Success();
}

IoResult Win32FileSystem::SyncFolder(const std::filesystem::path&) {
  // Renames on NTFS go through its journal; a folder cannot be flushed as a file can.
  return IoResult::Success();
}

bool Win32FileSystem::RemoveAbandoned(const std::filesystem::path& path) {
  // A file still open in the run that fills it shares nothing, so it cannot
  // be deleted; one whose run was killed has no handle left.
  return DeleteFileW(ExtendedPath(path).c_str()) != 0;
}

bool Win32FileSystem::Exists(const std::filesystem::path& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tav
