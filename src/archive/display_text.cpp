#include "archive/display_text.h"

#include "mail/cp932_decoder.h"

namespace tav {

namespace {

// The UTF-8 of a symbol U+24XX.
void AppendSymbol(unsigned low, std::string& out) {
  const unsigned point = 0x2400 + low;
  out += static_cast<char>(0xE0 | (point >> 12));
  out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (point & 0x3F));
}

bool IsControlByte(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

std::size_t AppendDisplayText(std::string_view bytes, std::string& out) {
  thread_local std::string decoded;
  decoded.clear();
  const std::size_t replaced = AppendCp932AsUtf8(bytes, decoded);
  out.reserve(out.size() + decoded.size());
  const std::size_t size = decoded.size();
  std::size_t plain = 0;  // start of the run of text copied as it stands
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(decoded[i]);
    const bool c1 = c == 0xC2 && i + 1 < size && static_cast<unsigned char>(decoded[i + 1]) == 0x80;
    if (!c1 && (!IsControlByte(c) || c == '\t')) continue;
    out.append(decoded, plain, i - plain);
    if (c1) {
      AppendSymbol(0x26, out);
      ++i;
    } else if (c == '\r' && i + 1 < size && decoded[i + 1] == '\n') {
      out += '\n';
      ++i;
    } else {
      AppendSymbol(c == 0x7F ? 0x21 : c, out);
    }
    plain = i + 1;
  }
  out.append(decoded, plain, size - plain);
  return replaced;
}

std::string DisplayText(std::string_view bytes) {
  std::string text;
  AppendDisplayText(bytes, text);
  return text;
}

std::string VisibleUtf8(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t size = lead < 0x80                   ? 1
                       : lead >= 0xC2 && lead < 0xE0 ? 2
                       : lead >= 0xE0 && lead < 0xF0 ? 3
                       : lead >= 0xF0 && lead < 0xF5 ? 4
                                                     : 0;
    for (std::size_t k = 1; k < size; ++k) {
      if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
        size = 0;
    }
    if (size == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD
      ++i;
    } else if (size == 1 && IsControlByte(lead)) {
      AppendSymbol(lead == 0x7F ? 0x21 : lead, out);
      ++i;
    } else if (size == 2 && lead == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      AppendSymbol(0x26, out);  // a C1 control character
      i += 2;
    } else {
      out.append(utf8, i, size);
      i += size;
    }
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace tav
