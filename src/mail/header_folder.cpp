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
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kDigits[group >> (18 - 6 * k) & 0x3F] : '=';
    }
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
