#include "digest.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace tav::bench {

void Fnv1a::AddNumber(std::uint64_t value) {
  char bytes[8];
  for (char& b : bytes) {
    b = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
  Add(std::string_view(bytes, sizeof bytes));
}

namespace {

void AddFile(Fnv1a& fnv, Digest& digest, const std::filesystem::path& file,
             std::string_view content) {
  fnv.Add(file.generic_string());
  fnv.AddNumber(content.size());
  fnv.Add(content);
  ++digest.files;
  digest.bytes += content.size();
}

}  // namespace

Digest DigestFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(folder));
  }
  // Directory order differs between file systems; the digest must not.
  std::sort(files.begin(), files.end());

  Digest digest;
  Fnv1a fnv;
  std::string content;
  for (const std::filesystem::path& file : files) {
    std::ifstream in(folder / file, std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    AddFile(fnv, digest, file, content);
  }
  digest.hash = fnv.value();
  return digest;
}

Digest DigestFiles(const std::map<std::filesystem::path, std::string_view>& files) {
  Digest digest;
  Fnv1a fnv;
  for (const auto& [file, content] : files) AddFile(fnv, digest, file, content);
  digest.hash = fnv.value();
  return digest;
}

std::string ToText(const Digest& digest, const char* unit) {
  char text[128];
  std::snprintf(text, sizeof text, "%s=%zu bytes=%llu fnv=%016llx", unit, digest.files,
                static_cast<unsigned long long>(digest.bytes),
                static_cast<unsigned long long>(digest.hash));
  return text;
}

}  // namespace tav::bench
