#include "forms/folder_listing.h"

#include "platform/win32_paths.h"
#include "platform/win32_text.h"

namespace tav {

IoResult ListFolder(const std::filesystem::path& folder, EntryKind kind,
                    std::vector<std::wstring>& names) {
  names.clear();
  const std::wstring pattern = ExtendedPath(folder / L"*");
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // An empty folder (a drive's root has no "." entry) is not a failure.
    if (error == ERROR_FILE_NOT_FOUND) return IoResult::Success();
    return IoResult::Failure(SystemErrorText(error));
  }
  do {
    const DWORD attributes = found.dwFileAttributes;
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder != (kind == EntryKind::Folders)) continue;
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    names.push_back(name);
  } while (FindNextFileW(search, &found));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) return IoResult::Failure(SystemErrorText(error));
  return IoResult::Success();
}

std::filesystem::path NormalizeFolder(const std::filesystem::path& folder) {
  const std::wstring& given = folder.native();
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return folder;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  full.resize(length);
  while (full.size() > 1 && (full.back() == L'\\' || full.back() == L'/') &&
         std::filesystem::path(full) != std::filesystem::path(full).root_path()) {
    full.pop_back();
  }
  return std::filesystem::path(full);
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace tav
