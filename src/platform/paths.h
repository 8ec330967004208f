// Conversions between paths and UTF-8 text, and cutting a file name after a
// number of characters.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tav {

// UTF-8 text as a path (UTF-16 on Windows, the bytes themselves elsewhere).
std::filesystem::path PathFromUtf8(std::string_view utf8);

// A path as UTF-8 text, for messages and the status bar. Never throws: on
// Windows an unpaired UTF-16 surrogate is shown as U+FFFD.
std::string Utf8FromPath(const std::filesystem::path& path);

// The first `count` characters of a file name's composed form (see
// name_form.h), or all of it when it is shorter: the output folder's name
// of a log. A character is a code point: a UTF-16 surrogate pair on Windows
// and a UTF-8 sequence elsewhere are never cut. A name that is not valid
// text is cut as it stands (an invalid byte or an unpaired surrogate counts
// as a character of its own).
std::filesystem::path LeadingChars(const std::filesystem::path& name, std::size_t count);

// `dir` joined with `name` without doubling the separator after a root
// directory such as C:\ or /.
std::filesystem::path JoinPath(const std::filesystem::path& dir, const std::filesystem::path& name);

}  // namespace tav
