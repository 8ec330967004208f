#include <cstdio>

#include "platform/cp932.h"

namespace tav {

std::string Cp932ForDisplay(std::string_view bytes) {
  std::string out;
  auto appendHex = [&out](std::string_view raw) {
    for (const char c : raw) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", static_cast<unsigned char>(c));
      out += hex;
    }
  };
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t size = CharSizeAt(bytes, i);
    const std::string_view ch = bytes.substr(i, size);
    const auto first = static_cast<unsigned char>(ch[0]);
    if (size == 1 && (first < 0x20 || first == 0x7F)) {
      appendHex(ch);
    } else if (first < 0x80) {
      out += ch;  // printable ASCII stands for itself in code page 932
    } else if (auto text = Cp932ToUtf8(ch)) {
      out += *text;
    } else {
      appendHex(ch);
    }
    i += size;
  }
  return out;
}

}  // namespace tav
