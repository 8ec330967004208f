#include "platform/fresh_names.h"

#include <algorithm>
#include <chrono>

namespace tav {

namespace {

constexpr std::string_view kPrefix = ".tav-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kDigits = 16;

}  // namespace

FreshNames::FreshNames() {
  std::random_device entropy;
  const auto now = static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  random_.seed((static_cast<std::uint64_t>(entropy()) << 32) ^ entropy() ^ now);
}

std::string FreshNames::NextName() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::uint64_t random = random_();
  std::string name(kPrefix);
  for (std::size_t k = 0; k < kDigits; ++k, random >>= 4) name += kHex[random & 15];
  name += kSuffix;
  return name;
}

bool FreshNames::IsFreshName(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigits + kSuffix.size() || !name.starts_with(kPrefix) ||
      !name.ends_with(kSuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kPrefix.size(), kDigits);
  return std::all_of(digits.begin(), digits.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace tav
