// Character columns of one line of code page 932 text, counted from 1, so
// that the field readers reach any column without rescanning the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tav {

// A column number. Signed, so that positions before the line (column 0 or
// less) can be formed and read as empty text.
using Col = std::int64_t;

class Columns {
 public:
  // Indexes `line`, which must outlive the next call. Reuses its storage.
  void Assign(std::string_view line);

  // Number of characters.
  Col Count() const { return static_cast<Col>(starts_.size()) - 1; }

  // The character at column c; empty text outside 1 to Count().
  std::string_view At(Col c) const { return Mid(c, 1); }

  // True when column c holds the ASCII space (a column outside the line does not).
  bool IsSpace(Col c) const { return c >= 1 && c <= Count() && line_[Offset(c)] == ' '; }

  // True when column c holds exactly the one-byte character `ascii`.
  bool IsAscii(Col c, char ascii) const {
    return c >= 1 && c <= Count() && Offset(c + 1) - Offset(c) == 1 && line_[Offset(c)] == ascii;
  }

  // Up to n characters from column c; the part of the range outside the
  // line is left out.
  std::string_view Mid(Col c, Col n) const;

  // The characters from column c to the end of the line.
  std::string_view From(Col c) const { return Mid(c, Count() + 1); }

 private:
  std::size_t Offset(Col c) const { return starts_[static_cast<std::size_t>(c - 1)]; }

  std::string_view line_;
  // starts_[k] is the byte offset of column k + 1; the last entry is the line's size.
  std::vector<std::size_t> starts_;
};

}  // namespace tav
