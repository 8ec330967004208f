// What makes two readings the same message, and the identifiers that tell
// messages apart in the standard mail forms.
//
// The same message is the same folder name and the byte-identical number,
// sender ID, sender name, subject, date and time as the date line gives
// them, and reply number; the body and the header line's second number may
// differ between readings. The first message of a folder name and number in
// a store keeps the plain identifier <NUMBER.TAG@tav.example.jp>; any other
// message of that folder name and number gets <NUMBER.DIGEST.TAG@...>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mail/message_record.h"

namespace tav {

// 16 lowercase hexadecimal digits: FNV-1a (64 bits) of the identifying
// fields, each preceded by its length. The same on every run and system.
std::string MessageDigest(const MessageRecord& record);
// The same as a number.
std::uint64_t MessageDigestValue(const MessageRecord& record);

// The plain identifier of the record's folder name and number
// (NUMBER.TAG@tav.example.jp): the key under which all its messages meet.
std::string PlainIdentifier(const MessageRecord& record);
// The plain identifier of the message the record replies to; empty for no reply.
std::string ParentKey(const MessageRecord& record);
// NUMBER.DIGEST.TAG@tav.example.jp for the record's folder name and number.
std::string DigestIdentifier(const MessageRecord& record, std::string_view digest);
// The same from the plain identifier NUMBER.TAG@tav.example.jp.
std::string WithDigest(std::string_view plainIdentifier, std::string_view digest);
// The same appended to `out`.
void AppendWithDigest(std::string_view plainIdentifier, std::string_view digest, std::string& out);

// The plain identifier that an identifier of either form belongs to; the
// identifier itself when it has no digest.
std::string KeyOfIdentifier(std::string_view identifier);

}  // namespace tav
