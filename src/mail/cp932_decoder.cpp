#include "mail/cp932_decoder.h"

#include <cstdint>
#include <cstring>

#include "mail/cp932_table.h"
#include "platform/cp932.h"

namespace tav {

namespace {

// The code point of a lead byte + trail byte pair; 0 when there is none.
std::uint16_t PairAt(unsigned char lead, unsigned char trail) {
  if (trail < 0x40 || trail > 0xFC) return 0;
  const int row = lead < 0xA0 ? lead - 0x81 : lead - 0xE0 + 0x1F;
  return kCp932Pairs[row][trail - 0x40];
}

// Every code point of the table lies in the Basic Multilingual Plane.
char* PutUtf8(std::uint16_t point, char* out) {
  if (point < 0x80) {
    *out++ = static_cast<char>(point);
  } else if (point < 0x800) {
    *out++ = static_cast<char>(0xC0 | point >> 6);
    *out++ = static_cast<char>(0x80 | (point & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | point >> 12);
    *out++ = static_cast<char>(0x80 | (point >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (point & 0x3F));
  }
  return out;
}

}  // namespace

std::size_t AppendCp932AsUtf8(std::string_view bytes, std::string& out) {
  // A byte gives at most three bytes of UTF-8 (a pair at most three for two).
  const std::size_t start = out.size();
  out.resize(start + 3 * bytes.size());
  char* dst = out.data() + start;
  const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = src + bytes.size();
  std::size_t replaced = 0;
  while (src != end) {
    // Most log text is ASCII: copy it eight bytes at a time.
    while (end - src >= 8) {
      std::uint64_t word;
      std::memcpy(&word, src, 8);
      if (word & 0x8080808080808080u) break;
      std::memcpy(dst, &word, 8);
      src += 8;
      dst += 8;
    }
    if (src == end) break;
    const unsigned char b = *src;
    if (b < 0x80) {
      *dst++ = static_cast<char>(b);
      ++src;
      continue;
    }
    std::uint16_t point = kCp932SingleBytes[b];
    ++src;
    if (IsLeadByte(b)) {
      const std::uint16_t paired = src != end ? PairAt(b, *src) : 0;
      if (paired != 0) {
        point = paired;
        ++src;
      } else {
        ++replaced;  // the table holds U+FFFD for the lead byte itself
      }
    }
    dst = PutUtf8(point, dst);
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return replaced;
}

}  // namespace tav
