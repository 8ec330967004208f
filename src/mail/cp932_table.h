// The decoding table of code page 932, generated from Python's "cp932" codec
// by tools/gen_cp932_table.py into cp932_table.cpp.
#pragma once

#include <cstdint>

namespace tav {

// The code point of each byte read on its own. Lead bytes (0x81-0x9F,
// 0xE0-0xFC) hold U+FFFD, which is what a lead byte without a trail byte
// decodes to.
extern const std::uint16_t kCp932SingleBytes[256];

// The code point of each lead byte + trail byte pair, 0 where the pair maps
// to nothing. Rows: lead bytes 0x81-0x9F, then 0xE0-0xFC; columns: trail
// bytes 0x40-0xFC. Every other trail byte pairs with nothing.
inline constexpr int kCp932PairRows = 60;
inline constexpr int kCp932PairColumns = 189;
extern const std::uint16_t kCp932Pairs[kCp932PairRows][kCp932PairColumns];

}  // namespace tav
