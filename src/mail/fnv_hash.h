// FNV-1a, 64 bits: a short, stable fingerprint of bytes, the same on every
// run and system (identifiers and names are made from it, so it must never
// change).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

class Fnv1a64 {
 public:
  void Add(std::string_view bytes) {
    for (const char c : bytes) {
      hash_ ^= static_cast<unsigned char>(c);
      hash_ *= 0x100000001B3ull;
    }
  }
  // Adds the length of `field` (8 bytes, lowest first), then its bytes, so
  // that no two lists of fields run together alike.
  void AddField(std::string_view field) {
    std::uint64_t size = field.size();
    char bytes[8];
    for (char& byte : bytes) {
      byte = static_cast<char>(size & 0xFF);
      size >>= 8;
    }
    Add({bytes, 8});
    Add(field);
  }
  // 16 lowercase hexadecimal digits.
  std::string Hex() const {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string digits(16, '0');
    std::uint64_t value = hash_;
    for (std::size_t k = 16; k-- > 0; value >>= 4) digits[k] = kHex[value & 15];
    return digits;
  }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

}  // namespace tav
