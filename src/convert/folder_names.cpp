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
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
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
