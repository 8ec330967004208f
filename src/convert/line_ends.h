// Where lines end, for logs and for tav.ini alike: CR LF, a lone CR and a
// lone LF each end a line, and a line end at the very end of a text adds no
// empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tav {

// Bit k set when bytes[k] is a CR or an LF, for the `count` (at most 64)
// bytes at `bytes`: a log is scanned 64 bytes at a time.
std::uint64_t LineEndBits(const char* bytes, std::size_t count);

// The size of the line end that starts at text[end] (a CR or an LF): 2 for CR LF, else 1.
inline std::size_t LineEndSize(std::string_view text, std::size_t end) {
  return text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
}

// The first `count` lines of `text`, without their line ends.
std::vector<std::string_view> FirstLines(std::string_view text, std::size_t count);

}  // namespace tav
