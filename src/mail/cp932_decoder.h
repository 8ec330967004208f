// Code page 932 to UTF-8, read exactly as Python's
// bytes.decode("cp932", "replace") reads it, so that a mail program shows the
// text a user's own tools make of the raw files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

// Appends the UTF-8 form of `bytes` to `out`. Bytes that code page 932
// leaves unassigned decode as Python maps them (0x80 to U+0080, 0xA0 to
// U+F8F0, 0xFD-0xFF to U+F8F1-U+F8F3). The lead byte of a pair that maps to
// nothing becomes U+FFFD and the byte after it is read anew; so does a lead
// byte at the end. Returns the number of bytes replaced by U+FFFD.
std::size_t AppendCp932AsUtf8(std::string_view bytes, std::string& out);

// The number of bytes AppendCp932AsUtf8 would replace by U+FFFD.
std::size_t Cp932ReplacedBytes(std::string_view bytes);

}  // namespace tav
