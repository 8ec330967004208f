#include "mail/quoted_printable.h"

#include <cstring>

namespace tav {

namespace {

constexpr std::size_t kMaxLine = 998;    // an 8bit line, without its CR LF
constexpr std::size_t kMaxEncoded = 76;  // a quoted-printable line, without its CR LF
constexpr std::string_view kLineEnd = "\r\n";

std::size_t Size(const char* begin, const char* end) {
  return static_cast<std::size_t>(end - begin);
}

bool StandsAsIs(unsigned char c) {
  return c >= 0x21 && c <= 0x7E && c != '=';
}

// Appends one line (without its line end) quoted-printable.
void AppendEncodedLine(std::string_view line, std::string& out) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::size_t column = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    const bool last = i + 1 == line.size();
    const bool blank = c == ' ' || c == '\t';
    const bool plain = StandsAsIs(c) || (blank && !last);
    const std::size_t width = plain ? 1 : 3;
    // The last character may take the 76th column; any other must leave it
    // for the "=" of a soft line break.
    if (column + width > (last ? kMaxEncoded : kMaxEncoded - 1)) {
      out += '=';
      out += kLineEnd;
      column = 0;
    }
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '=';
      out += kDigits[c >> 4];
      out += kDigits[c & 0xF];
    }
    column += width;
  }
}

}  // namespace

bool NeedsQuotedPrintable(std::string_view text) {
  // Searched for with memchr, which looks at many bytes at a time: a NUL
  // anywhere, then line by line the LF and the first CR, which must stand
  // right before it.
  if (text.empty()) return false;
  const char* line = text.data();
  const char* const end = line + text.size();
  if (std::memchr(line, '\0', text.size()) != nullptr) return true;
  for (;;) {
    const auto* lf = static_cast<const char*>(std::memchr(line, '\n', Size(line, end)));
    const auto* cr = static_cast<const char*>(std::memchr(line, '\r', Size(line, lf ? lf : end)));
    if (lf == nullptr) return cr != nullptr || Size(line, end) > kMaxLine;  // a CR on its own
    if (cr != lf - 1) return true;  // an LF, or a CR, on its own
    if (Size(line, cr) > kMaxLine) return true;
    line = lf + 1;
  }
}

void AppendQuotedPrintable(std::string_view text, std::string& out) {
  for (;;) {
    const std::size_t end = text.find(kLineEnd);
    AppendEncodedLine(text.substr(0, end), out);
    if (end == std::string_view::npos) return;
    out += kLineEnd;
    text.remove_prefix(end + kLineEnd.size());
  }
}

}  // namespace tav
