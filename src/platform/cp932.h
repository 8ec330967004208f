// Code page 932 (Shift-JIS as Windows defines it) to and from Unicode, for
// the places where log or settings text becomes a file name or reaches the
// screen. Log text itself is never converted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

// One character of code page 932 text is a lead byte (0x81-0x9F, 0xE0-0xFC)
// with a trail byte (0x40-0x7E, 0x80-0xFC), or any other single byte; a lead
// byte without a valid trail byte is a character of its own. ASCII
// punctuation, digits and the space are never trail bytes, so a byte search
// for them finds exactly the characters.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Size in bytes (1 or 2) of the character that starts at text[i], i < size.
inline std::size_t CharSizeAt(std::string_view text, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                 IsTrailByte(static_cast<unsigned char>(text[i + 1]))
             ? 2
             : 1;
}

// True when `bytes` hold a single byte that code page 932 leaves unassigned
// (0x80, 0xA0, 0xFD to 0xFF) or a lead byte without its trail byte. The
// system's converters may pass these through (as U+0080, U+00A0 or
// private-use characters), so the strict decoders check for them first.
inline bool HasUnassignedSingleByte(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); i += CharSizeAt(bytes, i)) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (CharSizeAt(bytes, i) == 1 && (b == 0x80 || b == 0xA0 || b >= 0xFD || IsLeadByte(b))) {
      return true;
    }
  }
  return false;
}

// Decodes code page 932 bytes to UTF-8. Fails (nullopt) on any byte sequence
// that code page 932 does not map to a character, including 0x80, 0xA0,
// 0xFD to 0xFF and a lead byte without its trail byte.
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text in code page 932. Fails on a character that code page
// 932 cannot hold (no best-fit substitutes) and on invalid UTF-8.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Code page 932 bytes as readable UTF-8 for a message: every character that
// decodes is shown as itself, every other byte (and every control
// character) as <XX> in hexadecimal.
std::string Cp932ForDisplay(std::string_view bytes);

}  // namespace tav
