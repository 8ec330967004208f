#include "mail/mail_identifiers.h"

#include <algorithm>

#include "mail/mail_domain.h"
#include "mail/cp932_decoder.h"
#include "mail/fnv_hash.h"
#include "mail/mail_text.h"

namespace tav {

namespace {

// The longest TAG that stands for a folder name itself. With the longest
// NUMBER and a digest, "Message-Id: <...>" then stays within 998 characters.
constexpr std::size_t kLongestTag = 900;

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// One or more atoms of ASCII atext joined by single dots.
bool IsDotAtom(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  if (text.find("..") != std::string_view::npos) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c == '.' || IsAtext(c); });
}

// Turns the bytes of `out` from `start` on into "_" and their lowercase
// hexadecimal, in place.
void HexFrom(std::size_t start, std::string& out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const std::size_t size = out.size() - start;
  out.resize(start + 1 + 2 * size);
  // Back to front, so each byte is read before its place is written over.
  for (std::size_t i = size; i-- > 0;) {
    const auto byte = static_cast<unsigned char>(out[start + i]);
    out[start + 1 + 2 * i] = kDigits[byte >> 4];
    out[start + 2 + 2 * i] = kDigits[byte & 0xF];
  }
  out[start] = '_';
}

// Appends the code page 932 text as it stands when `standsAsIs` holds,
// otherwise as "_" and the hexadecimal of its UTF-8 decoding.
std::size_t AppendAsIsOrHex(std::string_view text, bool standsAsIs, std::string& out) {
  if (standsAsIs) {
    out += text;
    return 0;
  }
  const std::size_t start = out.size();
  const std::size_t replaced = AppendCp932AsUtf8(text, out);
  HexFrom(start, out);
  return replaced;
}

void AppendDomain(std::string& out) {
  out += '@';
  out += kMailDomain;
}

}  // namespace

std::size_t AppendSenderAddress(std::string_view senderId, std::string& out) {
  // The blanks after an ID shorter than eight characters separate it from
  // the name; they are no part of it.
  while (!senderId.empty() && senderId.back() == ' ') senderId.remove_suffix(1);
  // Only the hexadecimal form begins with "_", so the two never meet.
  const bool asIs = IsDotAtom(senderId) && senderId.front() != '_';
  const std::size_t replaced = AppendAsIsOrHex(senderId, asIs, out);
  AppendDomain(out);
  return replaced;
}

std::size_t AppendMessageIdentifier(std::string_view number, std::string_view folderName,
                                    std::string& out) {
  const bool numberAsIs =
      !number.empty() && std::all_of(number.begin(), number.end(), IsAsciiAlnum);
  const std::size_t replaced = AppendAsIsOrHex(number, numberAsIs, out);
  out += '.';
  // The folder name is UTF-8 already; its hexadecimal is that of its bytes.
  const bool tagAsIs =
      !folderName.empty() && std::all_of(folderName.begin(), folderName.end(),
                                         [](char c) { return IsAsciiAlnum(c) || c == '-'; });
  const std::size_t tagStart = out.size();
  out += folderName;
  if (!tagAsIs) HexFrom(tagStart, out);
  if (out.size() - tagStart > kLongestTag) {
    // A folder name hundreds of characters long: its fingerprint stands in
    // for it, so that the identifier's header line stays within 998
    // characters. "_h" never begins the hexadecimal form ("h" is no digit).
    Fnv1a64 hash;
    hash.Add(folderName);
    out.resize(tagStart);
    out += "_h";
    out += hash.Hex();
  }
  AppendDomain(out);
  return replaced;
}

std::string SenderAddress(std::string_view senderId) {
  std::string address;
  AppendSenderAddress(senderId, address);
  return address;
}

std::string MessageIdentifier(std::string_view number, std::string_view folderName) {
  std::string identifier;
  AppendMessageIdentifier(number, folderName, identifier);
  return identifier;
}

}  // namespace tav
