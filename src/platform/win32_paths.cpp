#include "platform/win32_paths.h"

#include <windows.h>

namespace tav {

namespace {

constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

bool HasDevicePrefix(const std::wstring& path) {
  return path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\");
}

}  // namespace

std::wstring ExtendedPath(const std::filesystem::path& path) {
  const std::wstring& given = path.native();
  if (given.size() < kShortPathLimit || HasDevicePrefix(given)) return given;
  // The prefix passes a path on as it stands: "." and "..", "/" and a
  // relative start are resolved first.
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return given;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(given.c_str(), size, full.data(), nullptr));
  if (HasDevicePrefix(full)) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace tav
