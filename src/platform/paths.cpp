#include "platform/paths.h"

#include "platform/name_form.h"

namespace tav {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  // A Windows name is UTF-16 that need not be valid, and path::u8string()
  // throws on an unpaired surrogate: each one becomes U+FFFD first.
  std::wstring text = path.native();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      text[i] = 0xFFFD;
    }
  }
  const std::u8string utf8 = std::filesystem::path(text).u8string();
#else
  const std::u8string utf8 = path.u8string();
#endif
  return std::string(utf8.begin(), utf8.end());
}

#ifndef _WIN32
namespace {

// Length of the UTF-8 sequence at text[i]; 1 for a byte that starts no valid sequence.
std::size_t Utf8SequenceSize(const std::string& text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t size = b < 0x80           ? 1
                     : (b >> 5) == 0x6  ? 2
                     : (b >> 4) == 0xE  ? 3
                     : (b >> 3) == 0x1E ? 4
                                        : 1;
  if (size == 1 || i + size > text.size()) return 1;
  for (std::size_t k = 1; k < size; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  }
  return size;
}

}  // namespace
#endif

std::filesystem::path LeadingChars(const std::filesystem::path& name, std::size_t count) {
  const std::filesystem::path composed = ComposedName(name);
#ifdef _WIN32
  const std::wstring& text = composed.native();
  std::size_t end = 0;
  for (std::size_t chars = 0; chars < count && end < text.size(); ++chars) {
    const bool pair = text[end] >= 0xD800 && text[end] <= 0xDBFF && end + 1 < text.size() &&
                      text[end + 1] >= 0xDC00 && text[end + 1] <= 0xDFFF;
    end += pair ? 2 : 1;
  }
  return std::filesystem::path(text.substr(0, end));
#else
  const std::string& text = composed.native();
  std::size_t end = 0;
  for (std::size_t chars = 0; chars < count && end < text.size(); ++chars) {
    end += Utf8SequenceSize(text, end);
  }
  return std::filesystem::path(text.substr(0, end));
#endif
}

std::filesystem::path JoinPath(const std::filesystem::path& dir,
                               const std::filesystem::path& name) {
  if (dir.empty()) return name;
  return dir / name;
}

}  // namespace tav
