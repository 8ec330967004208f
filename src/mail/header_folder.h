// Writing one header field with its lines folded (RFC 5322, RFC 2047).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

// Appends one header field to a string: "Name:", then parts, each after a
// space. A line is folded (CR LF before the space) ahead of a part that would
// take it past 78 characters, unless the part would not fit on a line of its
// own either: such a part stays where it is, on a line too long.
class HeaderFolder {
 public:
  static constexpr std::size_t kLineLimit = 78;
  static constexpr std::size_t kEncodedWordLimit = 75;

  // Appends "Name:".
  HeaderFolder(std::string& out, std::string_view name);

  // Appends " " and `part`, folding before it when that makes it fit.
  void AddPart(std::string_view part);

  // The same for a part that the caller appends to the string between the
  // two calls.
  void BeginPart();
  void EndPart();

  // Appends UTF-8 text as RFC 2047 encoded words (UTF-8, B encoding) of at
  // most 75 characters, as many characters on each line as fit; a word
  // holds whole characters only.
  void AddEncodedWords(std::string_view utf8);

  // Ends the field with CR LF.
  void End();

 private:
  std::string& out_;
  std::size_t lineStart_;
  std::size_t partStart_ = 0;
};

}  // namespace tav
