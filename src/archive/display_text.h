// Log text as the archive shows it: code page 932 decoded as the standard
// mail form decodes it, with control characters as visible symbols, since
// valid HTML cannot carry them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

// Appends the UTF-8 of `bytes` (code page 932; undecodable bytes become
// U+FFFD) to `out`. CR LF becomes LF; a tab stays; every other C0 control
// character U+00XX becomes U+24XX, U+007F becomes U+2421 and U+0080 (the
// only C1 character code page 932 gives) U+2426. Returns the number of bytes
// replaced by U+FFFD.
std::size_t AppendDisplayText(std::string_view bytes, std::string& out);

// The same as a new string.
std::string DisplayText(std::string_view bytes);

// UTF-8 text (a folder name) with the same control characters made visible
// and every invalid byte as U+FFFD.
std::string VisibleUtf8(std::string_view utf8);

// `text` without its leading and trailing ASCII spaces (the blanks around
// a sender name or ID are columns of the header line, not part of it).
std::string_view TrimBlanks(std::string_view text);

}  // namespace tav
