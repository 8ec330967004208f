#include "archive/html_writer.h"

#include <algorithm>
#include <array>

namespace tav {

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Characters a URL's path, query and fragment may hold as they stand.
bool IsUrlChar(char c) {
  return IsAsciiAlnum(c) ||
         std::string_view("-._~/?#!$&'()*+,;=:@%").find(c) != std::string_view::npos;
}

constexpr std::array<std::string_view, 3> kSchemes = {"http://", "https://", "ftp://"};

}  // namespace

// The characters that AppendEscaped writes as references.
constexpr std::array<bool, 256> kNeedsReference = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : std::string_view("&<>\"'")) table[c] = true;
  return table;
}();

void AppendEscaped(std::string_view text, std::string& out) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!kNeedsReference[static_cast<unsigned char>(text[i])]) continue;
    out.append(text, plain, i - plain);
    switch (text[i]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += "&#39;";
        break;
    }
    plain = i + 1;
  }
  out.append(text, plain, text.size() - plain);
}

std::size_t WebAddressLength(std::string_view text) {
  const auto scheme = std::find_if(kSchemes.begin(), kSchemes.end(),
                                   [text](std::string_view s) { return text.starts_with(s); });
  if (scheme == kSchemes.end()) return 0;
  std::size_t end = scheme->size();
  // The host: letters, digits, dots and hyphens, beginning with a letter or digit.
  if (end == text.size() || !IsAsciiAlnum(text[end])) return 0;
  while (end < text.size() && (IsAsciiAlnum(text[end]) || text[end] == '.' || text[end] == '-')) {
    ++end;
  }
  // A port, when it is one.
  if (end < text.size() && text[end] == ':') {
    std::size_t digits = end + 1;
    unsigned long port = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && port <= 65535) {
      port = port * 10 + static_cast<unsigned long>(text[digits] - '0');
      ++digits;
    }
    if (port > 65535) return 0;
    end = digits;
  }
  bool fragment = false;
  while (end < text.size() && IsUrlChar(text[end])) {
    if (text[end] == '%' &&
        !(end + 2 < text.size() && IsHexDigit(text[end + 1]) && IsHexDigit(text[end + 2]))) {
      break;
    }
    if (text[end] == '#') {
      if (fragment) break;
      fragment = true;
    }
    ++end;
  }
  // A sentence's punctuation after an address is no part of it.
  while (end > scheme->size() &&
         std::string_view(".,;:!?'()").find(text[end - 1]) != std::string_view::npos) {
    --end;
  }
  // A host must be left after that.
  if (end == scheme->size() || !IsAsciiAlnum(text[scheme->size()])) return 0;
  return end;
}

HtmlWriter& HtmlWriter::TextWithLinks(std::string_view text) {
  std::size_t plain = 0;
  for (std::size_t at = text.find("://"); at != std::string_view::npos;
       at = text.find("://", at + 3)) {
    // The scheme before "://" is at most 5 letters.
    const std::size_t begin = at >= 5 ? at - 5 : 0;
    for (std::size_t start = begin; start < at; ++start) {
      if (start < plain) continue;
      const std::size_t length = WebAddressLength(text.substr(start));
      if (length == 0) continue;
      // Not inside a longer word ("xhttp://").
      if (start > 0 && IsAsciiAlnum(text[start - 1])) continue;
      Text(text.substr(plain, start - plain));
      const std::string_view address = text.substr(start, length);
      *this << "<a href=\"";
      Text(address);
      *this << "\" rel=\"nofollow noopener\">";
      Text(address);
      *this << "</a>";
      plain = start + length;
      at = plain > 3 ? plain - 3 : 0;
      break;
    }
  }
  return Text(text.substr(plain));
}

}  // namespace tav
