#include "convert/eml_names.h"

#include <string>

#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

bool IsForbiddenSingleByte(unsigned char b) {
  if (b < 0x20 || b == 0x7F) return true;
  for (const char c : std::string_view("\\/:*?\"<>|")) {
    if (b == static_cast<unsigned char>(c)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::filesystem::path> EmlFileName(std::string_view msgNo) {
  bool ascii = true;
  // Check characters, not bytes: "\" and "|" are also trail bytes of
  // double-byte characters, which are allowed.
  for (std::size_t i = 0; i < msgNo.size(); i += CharSizeAt(msgNo, i)) {
    const auto b = static_cast<unsigned char>(msgNo[i]);
    if (CharSizeAt(msgNo, i) == 1 && IsForbiddenSingleByte(b)) return std::nullopt;
    if (b >= 0x80) ascii = false;
  }
  if (ascii) return PathFromUtf8(std::string(msgNo) + ".eml");
  const auto utf8 = Cp932ToUtf8(msgNo);
  if (!utf8) return std::nullopt;
  return PathFromUtf8(*utf8 + ".eml");
}

}  // namespace tav
