#include "archive/archive_names.h"

#include <algorithm>
#include <array>

#include "mail/cp932_decoder.h"

namespace tav {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool IsDeviceName(std::string_view name) {
  static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
  if (std::find(kPlain.begin(), kPlain.end(), name) != kPlain.end()) return true;
  return name.size() == 4 && (name.starts_with("com") || name.starts_with("lpt")) &&
         name[3] >= '1' && name[3] <= '9';
}

}  // namespace

std::string SafeName(std::string_view utf8) {
  const bool asIs = !utf8.empty() && utf8.front() != '-' && !IsDeviceName(utf8) &&
                    std::all_of(utf8.begin(), utf8.end(), [](char c) {
                      return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
                    });
  if (asIs) return std::string(utf8);
  std::string name = "_";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    name += kHexDigits[byte >> 4];
    name += kHexDigits[byte & 0xF];
  }
  return name;
}

std::string NumberStem(std::string_view number) {
  std::string decoded;
  AppendCp932AsUtf8(number, decoded);
  return SafeName(decoded);
}

std::string DigestStem(std::string_view numberStem, std::uint64_t digest) {
  std::string stem(numberStem);
  stem += '-';
  for (int shift = 60; shift >= 0; shift -= 4) stem += kHexDigits[(digest >> shift) & 0xF];
  return stem;
}

}  // namespace tav
