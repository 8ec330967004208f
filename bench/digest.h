// Fingerprints of what a conversion wrote, so that two builds' outputs can
// be compared, or one build's output with figures recorded earlier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tav::bench {

// FNV-1a, 64 bits.
class Fnv1a {
 public:
  void Add(std::string_view bytes) {
    for (const char c : bytes) {
      hash_ ^= static_cast<unsigned char>(c);
      hash_ *= 0x100000001B3ull;
    }
  }
  void AddNumber(std::uint64_t value);
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

struct Digest {
  std::size_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t hash = 0;

  bool operator==(const Digest&) const = default;
};

// The files under `folder`: sorted relative paths, sizes and contents.
Digest DigestFolder(const std::filesystem::path& folder);
// The same for files held in memory, by relative path.
Digest DigestFiles(const std::map<std::filesystem::path, std::string_view>& files);

// "<unit>=N bytes=N fnv=HHHHHHHHHHHHHHHH", unit "files" or "writes".
std::string ToText(const Digest& digest, const char* unit = "files");

}  // namespace tav::bench
