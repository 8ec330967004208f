// The entries of a folder as the browsing controls show them.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tav {

enum class EntryKind { Files, Folders };

// The names of the folder's files or subfolders, without hidden and system
// entries, in the order the system gives them. Fails with the system's
// reason when the folder cannot be read.
IoResult ListFolder(const std::filesystem::path& folder, EntryKind kind,
                    std::vector<std::wstring>& names);

// The absolute form of a folder's path, with a final separator only for a
// root (C:\).
std::filesystem::path NormalizeFolder(const std::filesystem::path& folder);

// Equal paths as the file system compares them (without regard to case).
bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tav
