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
      hash_ *= kPrime;
    }
  }
  // Adds the length of `field` (8 bytes, lowest first), then its bytes, so
  // that no two lists of fields run together alike.
  void AddField(std::string_view field) {
    std::uint64_t size = field.size();
    if (size < 256) {
      // A zero byte leaves the exclusive or alone, so the seven zero bytes
      // above the lowest come to seven multiplications by the prime.
      hash_ ^= size;
      hash_ *= kPrime;
      hash_ *= kPrimeToTheSeventh;
    } else {
      for (int k = 0; k < 8; ++k, size >>= 8) {
        hash_ ^= size & 0xFF;
        hash_ *= kPrime;
      }
    }
    Add(field);
  }
  std::uint64_t Value() const { return hash_; }
  // 16 lowercase hexadecimal digits.
  std::string Hex() const {
    std::string digits;
    AppendHex(hash_, digits);
    return digits;
  }
  // Appends the 16 lowercase hexadecimal digits of `value`.
  static void AppendHex(std::uint64_t value, std::string& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    char digits[16];
    for (std::size_t k = 16; k-- > 0; value >>= 4) digits[k] = kHex[value & 15];
    out.append(digits, 16);
  }

 private:
  static constexpr std::uint64_t kPrime = 0x100000001B3ull;
  static constexpr std::uint64_t kPrimeToTheSeventh =
      kPrime * kPrime * kPrime * kPrime * kPrime * kPrime * kPrime;

  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

}  // namespace tav
