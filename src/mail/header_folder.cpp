#include "mail/header_folder.h"

#include <algorithm>
#include <cstdint>

namespace tav {

namespace {

constexpr std::string_view kWordStart = "=?UTF-8?B?";
constexpr std::string_view kWordEnd = "?=";

void AppendBase64(std::string_view bytes, std::string& out) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::size_t start = out.size();
  out.resize(start + (bytes.size() + 2) / 3 * 4);
  char* digit = out.data() + start;
  const auto* byte = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  for (; left >= 3; left -= 3, byte += 3) {
    const std::uint32_t group =
        std::uint32_t{byte[0]} << 16 | std::uint32_t{byte[1]} << 8 | byte[2];
    *digit++ = kDigits[group >> 18];
    *digit++ = kDigits[group >> 12 & 0x3F];
    *digit++ = kDigits[group >> 6 & 0x3F];
    *digit++ = kDigits[group & 0x3F];
  }
  if (left > 0) {
    // One or two bytes more: their digits, then "=" for the bytes missing.
    const std::uint32_t group =
        std::uint32_t{byte[0]} << 16 | (left == 2 ? std::uint32_t{byte[1]} << 8 : 0);
    *digit++ = kDigits[group >> 18];
    *digit++ = kDigits[group >> 12 & 0x3F];
    *digit++ = left == 2 ? kDigits[group >> 6 & 0x3F] : '=';
    *digit++ = '=';
  }
}

// The most bytes an encoded word of at most `chars` characters can carry:
// three for every four characters of base64 after the word's frame.
std::size_t BytesThatFit(std::size_t chars) {
  const std::size_t frame = kWordStart.size() + kWordEnd.size();
  chars = std::min(chars, HeaderFolder::kEncodedWordLimit);
  return chars < frame ? 0 : (chars - frame) / 4 * 3;
}

// The length of the longest run of whole UTF-8 characters at the start of
// `utf8` that has at most `limit` bytes.
std::size_t WholeCharsWithin(std::string_view utf8, std::size_t limit) {
  std::size_t size = 0;
  while (size < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[size]);
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (size + length > limit) break;
    size += length;
  }
  return std::min(size, utf8.size());
}

}  // namespace

HeaderFolder::HeaderFolder(std::string& out, std::string_view name)
    : out_(out), lineStart_(out.size()) {
  out_ += name;
  out_ += ':';
}

void HeaderFolder::AddPart(std::string_view part) {
  BeginPart();
  out_ += part;
  EndPart();
}

void HeaderFolder::BeginPart() {
  partStart_ = out_.size();
  out_ += ' ';
}

void HeaderFolder::EndPart() {
  const bool lineTooLong = out_.size() - lineStart_ > kLineLimit;
  const bool fitsOnItsOwn = out_.size() - partStart_ <= kLineLimit;
  if (lineTooLong && fitsOnItsOwn && partStart_ > lineStart_) {
    out_.insert(partStart_, "\r\n");
    lineStart_ = partStart_ + 2;
  }
}

void HeaderFolder::AddEncodedWords(std::string_view utf8) {
  while (!utf8.empty()) {
    // The room after the separating space on this line.
    const std::size_t used = out_.size() - lineStart_ + 1;
    const std::size_t take =
        WholeCharsWithin(utf8, BytesThatFit(used < kLineLimit ? kLineLimit - used : 0));
    if (take == 0) {
      // Not even one character fits: go on to a new line, where 45 bytes do.
      out_ += "\r\n";
      lineStart_ = out_.size();
      continue;
    }
    BeginPart();
    out_ += kWordStart;
    AppendBase64(utf8.substr(0, take), out_);
    out_ += kWordEnd;
    utf8.remove_prefix(take);
  }
}

void HeaderFolder::End() {
  out_ += "\r\n";
}

}  // namespace tav
