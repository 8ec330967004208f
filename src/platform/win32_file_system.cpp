#include "platform/win32_file_system.h"

#include <windows.h>

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

IoResult LastErrorFailure() {
  return IoResult::Failure(SystemErrorText(GetLastError()));
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

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

IoResult Win32FileSystem::ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  FileHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return LastErrorFailure();

  // Read to the end whatever the size said: a file that grows or shrinks
  // meanwhile is read as it is.
  LARGE_INTEGER size{};
  bytes.clear();
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
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
    bytes.append(chunk, got);
  }
  return IoResult::Success();
}

IoResult Win32FileSystem::WriteWholeFile(const std::filesystem::path& path,
                                         std::string_view bytes) {
  const std::wstring target = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A folder in the file's place, or a read-only file that the rename would
    // replace although its attribute says it must stay.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
      return IoResult::Failure(SystemErrorText(ERROR_ACCESS_DENIED));
    }
  }

  // The temporary file lies in the same folder, so the rename never crosses volumes.
  const std::wstring temp = ExtendedPath(path.native() + L".tav-tmp");
  FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastErrorFailure();
  DWORD error = ERROR_SUCCESS;
  if (!WriteAll(file.get(), bytes)) error = GetLastError();
  if (!file.Close() && error == ERROR_SUCCESS) error = GetLastError();
  if (error == ERROR_SUCCESS && !MoveFileExW(temp.c_str(), target.c_str(),
                                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temp.c_str());
    return IoResult::Failure(SystemErrorText(error));
  }
  return IoResult::Success();
}

}  // namespace tav
