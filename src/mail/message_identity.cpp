#include "mail/message_identity.h"

#include "mail/fnv_hash.h"
#include "mail/mail_identifiers.h"

namespace tav {

namespace {

constexpr std::size_t kDigestDigits = 16;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::uint64_t MessageDigestValue(const MessageRecord& record) {
  Fnv1a64 hash;
  for (const std::string_view field :
       {record.FolderName, record.MsgNo, record.SenderId, record.SenderName, record.Subject,
        record.DateText, record.MsgTime, record.RefNo}) {
    hash.AddField(field);
  }
  return hash.Value();
}

std::string MessageDigest(const MessageRecord& record) {
  std::string digest;
  Fnv1a64::AppendHex(MessageDigestValue(record), digest);
  return digest;
}

std::string PlainIdentifier(const MessageRecord& record) {
  return MessageIdentifier(record.MsgNo, record.FolderName);
}

std::string ParentKey(const MessageRecord& record) {
  return record.RefNo.empty() ? std::string() : MessageIdentifier(record.RefNo, record.FolderName);
}

std::string DigestIdentifier(const MessageRecord& record, std::string_view digest) {
  return WithDigest(PlainIdentifier(record), digest);
}

std::string WithDigest(std::string_view plainIdentifier, std::string_view digest) {
  std::string identifier;
  AppendWithDigest(plainIdentifier, digest, identifier);
  return identifier;
}

void AppendWithDigest(std::string_view plainIdentifier, std::string_view digest, std::string& out) {
  // NUMBER holds no ".", so the first one ends it.
  const std::size_t dot = plainIdentifier.find('.') + 1;
  out += plainIdentifier.substr(0, dot);
  out += digest;
  out += '.';
  out += plainIdentifier.substr(dot);
}

std::string KeyOfIdentifier(std::string_view identifier) {
  // NUMBER.DIGEST.TAG: neither NUMBER nor TAG holds a "."; DIGEST is 16
  // hexadecimal digits.
  const std::size_t first = identifier.find('.');
  const std::size_t at = identifier.find('@');
  if (first == std::string_view::npos || at == std::string_view::npos) return std::string(identifier);
  const std::size_t second = identifier.find('.', first + 1);
  if (second == std::string_view::npos || second > at || second - first - 1 != kDigestDigits) {
    return std::string(identifier);
  }
  const std::string_view digest = identifier.substr(first + 1, kDigestDigits);
  for (const char c : digest) {
    if (!IsHexDigit(c)) return std::string(identifier);
  }
  std::string key(identifier.substr(0, first + 1));
  key += identifier.substr(second + 1);
  return key;
}

}  // namespace tav
