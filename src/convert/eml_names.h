// The file name of a message: its number and ".eml".
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tav {

// The file name for message number `msgNo` (code page 932 bytes), or
// nullopt when the number cannot stand as a file name: it holds one of
// \ / : * ? " < > |, a control character, or bytes that code page 932 does
// not map to a character. A name that is given never leaves its folder.
std::optional<std::filesystem::path> EmlFileName(std::string_view msgNo);

}  // namespace tav
