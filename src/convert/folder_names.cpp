#include "convert/folder_names.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/paths.h"

namespace tav {

namespace {

bool IsReservedDeviceName(std::string_view stem) {
  std::string upper(stem);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (const std::string_view name : kPlain) {
    if (upper == name) return true;
  }
  if (!upper.starts_with("COM") && !upper.starts_with("LPT")) return false;
  // Windows takes the superscript digits one to three (U+00B9, U+00B2, U+00B3)
  // for port numbers too.
  const std::string_view number = std::string_view(upper).substr(3);
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\u00B9" ||
         number == "\u00B2" || number == "\u00B3";
}

}  // namespace

bool IsUnsafeFolderName(const std::filesystem::path& name) {
  const std::string text = Utf8FromPath(name);
  if (text.empty() || text == "." || text == "..") return true;
  if (text.back() == '.' || text.back() == ' ') return true;
  // Windows ignores blanks after a device name, so "con .txt" is the device too.
  std::string_view stem = std::string_view(text).substr(0, text.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  return IsReservedDeviceName(stem);
}

}  // namespace tav
