// Paths as the wide-character file functions of Windows take them, at any
// length.
#pragma once

#include <filesystem>
#include <string>

namespace tav {

// A path that reaches 248 characters (MAX_PATH less the 12 that folders
// keep for a file name) is made absolute and given the prefix \\?\ (or
// \\?\UNC\ for a share), which lifts the old limit also where the system's
// long path support is switched off. Shorter paths stay as they are, so that they keep
// the ordinary rules for names.
std::wstring ExtendedPath(const std::filesystem::path& path);

}  // namespace tav
