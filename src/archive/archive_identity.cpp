#include "archive/archive_identity.h"

#include <string_view>

namespace tav {

namespace {

// FNV-1a, 64 bits: fixed by its definition, so stable across systems.
class Fnv1a {
 public:
  // Each field is preceded by its length, so ("ab", "c") and ("a", "bc") differ.
  void Field(std::string_view bytes) {
    std::uint64_t size = bytes.size();
    for (int i = 0; i < 8; ++i, size >>= 8) Byte(static_cast<unsigned char>(size & 0xFF));
    for (const char c : bytes) Byte(static_cast<unsigned char>(c));
  }
  std::uint64_t value() const { return hash_; }

 private:
  void Byte(unsigned char b) {
    hash_ ^= b;
    hash_ *= 0x100000001b3u;
  }
  std::uint64_t hash_ = 0xcbf29ce484222325u;
};

}  // namespace

std::string DateLineText(const MessageRecord& record) {
  std::string text(record.MsgDate);
  text += ' ';
  text += record.MsgTime;
  return text;
}

std::uint64_t IdentityDigest(const MessageRecord& record) {
  Fnv1a hash;
  hash.Field(record.FolderName);
  hash.Field(record.MsgNo);
  hash.Field(record.SenderId);
  hash.Field(record.SenderName);
  hash.Field(record.Subject);
  hash.Field(DateLineText(record));
  hash.Field(record.RefNo);
  return hash.value();
}

}  // namespace tav
