#include "mail/cp932_decoder.h"

#include <cstdint>
#include <cstring>

#include "mail/cp932_table.h"
#include "platform/cp932.h"

namespace tav {

namespace {

// What a text that starts with a byte of 0x80 or more decodes to first:
// the UTF-8 bytes of its first character, stored so that copying all four
// bytes puts them in place (the fourth is written over by what follows).
struct alignas(8) Decoded {
  char bytes[4] = {};
  std::uint8_t size = 0;      // UTF-8 bytes
  std::uint8_t taken = 0;     // bytes of code page 932 read
  std::uint8_t replaced = 0;  // 1 for U+FFFD standing for a lead byte
};

// Every code point of the table lies in the Basic Multilingual Plane.
Decoded Utf8Of(std::uint16_t point, std::uint8_t taken) {
  Decoded c;
  if (point < 0x80) {
    c.bytes[0] = static_cast<char>(point);
    c.size = 1;
  } else if (point < 0x800) {
    c.bytes[0] = static_cast<char>(0xC0 | point >> 6);
    c.bytes[1] = static_cast<char>(0x80 | (point & 0x3F));
    c.size = 2;
  } else {
    c.bytes[0] = static_cast<char>(0xE0 | point >> 12);
    c.bytes[1] = static_cast<char>(0x80 | (point >> 6 & 0x3F));
    c.bytes[2] = static_cast<char>(0x80 | (point & 0x3F));
    c.size = 3;
  }
  c.taken = taken;
  return c;
}

// Whatever the two bytes, the first character of a text that starts with
// them; a lead byte that pairs with nothing is U+FFFD and the second byte
// is read anew.
Decoded DecodeStart(unsigned char first, unsigned char second) {
  if (!IsLeadByte(first)) return Utf8Of(kCp932SingleBytes[first], 1);
  const int row = first < 0xA0 ? first - 0x81 : first - 0xE0 + 0x1F;
  const std::uint16_t pair = second >= 0x40 && second <= 0xFC ? kCp932Pairs[row][second - 0x40] : 0;
  if (pair != 0) return Utf8Of(pair, 2);
  Decoded replacement = Utf8Of(0xFFFD, 1);
  replacement.replaced = 1;
  return replacement;
}

// The decoding of every two bytes whose first is 0x80 or more, built once
// from the code page's table: a character is then one look-up, whatever
// kind of byte it starts with.
struct Utf8Table {
  Decoded start[0x80][0x100];

  Utf8Table() {
    for (int first = 0x80; first <= 0xFF; ++first) {
      for (int second = 0; second <= 0xFF; ++second) {
        start[first - 0x80][second] =
            DecodeStart(static_cast<unsigned char>(first), static_cast<unsigned char>(second));
      }
    }
  }
};

const Utf8Table& Table() {
  static const Utf8Table table;
  return table;
}

// Which two bytes starting with 0x80 or more are a pair that maps to a
// character, one bit each.
class PairBits {
 public:
  PairBits() {
    for (int first = 0x80; first <= 0xFF; ++first) {
      for (int second = 0; second <= 0xFF; ++second) {
        if (Table().start[first - 0x80][second].taken == 2) {
          bits_[first - 0x80][second >> 6] |= std::uint64_t{1} << (second & 63);
        }
      }
    }
  }
  bool Maps(unsigned char lead, unsigned char trail) const {
    return (bits_[lead - 0x80][trail >> 6] >> (trail & 63) & 1) != 0;
  }

 private:
  std::uint64_t bits_[0x80][4] = {};
};

}  // namespace

std::size_t AppendCp932AsUtf8(std::string_view bytes, std::string& out) {
  const Utf8Table& table = Table();
  // A byte gives at most three bytes of UTF-8 (a pair at most three for
  // two); a character copies four, so one more byte makes room.
  const std::size_t start = out.size();
  out.resize(start + 3 * bytes.size() + 1);
  char* dst = out.data() + start;
  const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = src + bytes.size();
  std::size_t replaced = 0;
  auto decode = [&](unsigned char second) {
    const Decoded& c = table.start[std::size_t{*src} - 0x80][second];
    std::memcpy(dst, c.bytes, 4);
    dst += c.size;
    // A branch, not arithmetic: the processor reads on from the guess
    // without waiting for the table.
    if (c.taken == 2) [[likely]] {
      src += 2;
    } else {
      src += 1;
      replaced += c.replaced;
    }
  };
  // Up to the last byte, every character has a byte after it to look at.
  const auto* const last = end - (bytes.empty() ? 0 : 1);
  while (src < last) {
    if (*src >= 0x80) {
      decode(src[1]);
      continue;
    }
    // ASCII: eight bytes at a time where they are all ASCII.
    std::uint64_t word = 0x80;
    if (end - src >= 8) std::memcpy(&word, src, 8);
    if ((word & 0x8080808080808080u) == 0) {
      std::memcpy(dst, &word, 8);
      src += 8;
      dst += 8;
    } else {
      *dst++ = static_cast<char>(*src++);
    }
  }
  if (src != end) {
    // The last byte, read as if a 0 followed: 0 pairs with no lead byte.
    if (*src >= 0x80) {
      decode(0);
    } else {
      *dst++ = static_cast<char>(*src++);
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return replaced;
}

std::size_t Cp932ReplacedBytes(std::string_view bytes) {
  // Only a lead byte that pairs with nothing is replaced: the pairs that
  // map to something, as bits (4 KB), are all it takes to count them.
  static const PairBits pairs;
  const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = src + bytes.size();
  std::size_t replaced = 0;
  while (end - src >= 2) {
    const unsigned char b = *src;
    if (b >= 0x80) {
      // Branches the processor guesses right, so that it reads on.
      if (pairs.Maps(b, src[1])) [[likely]] {
        src += 2;
        continue;
      }
      if (IsLeadByte(b)) ++replaced;
      ++src;
      continue;
    }
    // ASCII: eight bytes at a time where they are all ASCII.
    std::uint64_t word = 0x80;
    if (end - src >= 8) std::memcpy(&word, src, 8);
    if ((word & 0x8080808080808080u) != 0) {
      ++src;
      continue;
    }
    src += 8;
  }
  // A lead byte at the end pairs with nothing.
  if (src != end && IsLeadByte(*src)) ++replaced;
  return replaced;
}

}  // namespace tav
