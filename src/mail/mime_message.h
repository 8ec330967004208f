// One message in standard Internet mail form (RFC 5322, RFC 2045-2047):
// UTF-8 text, encoded words in the headers, lines within their limits.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "mail/message_record.h"

namespace tav {

// The identifiers of one message, as the writer assigned them.
struct MessageIds {
  std::string_view messageId;  // without angle brackets
  std::string_view parentId;   // the message replied to; empty for none
  std::string_view digest;     // MessageDigest of the record
};

class MimeMessageBuilder {
 public:
  // Appends the whole message for `record` to `out`: From, Subject, Date
  // (when the record has a valid date and time), Message-Id, In-Reply-To and
  // References (for a reply whose parent is known), X-TAV-Digest, the MIME
  // header lines, an empty line and the body followed by one more CR LF; CR
  // LF line ends throughout. Returns the number of bytes of all fields that
  // the decoding replaced by U+FFFD.
  std::size_t Append(const MessageRecord& record, const MessageIds& ids, std::string& out);
  // The same with the body decoded already (by DecodeBody); returns the
  // bytes replaced in the other fields.
  std::size_t Append(const MessageRecord& record, const MessageIds& ids, std::string_view body,
                     std::string& out);

  // Appends the record's body in UTF-8 as the message holds it (with one
  // more CR LF); returns the bytes replaced.
  static std::size_t DecodeBody(const MessageRecord& record, std::string& out);
  // The bytes replaced in the fields other than the body, without building
  // the message.
  static std::size_t ReplacedFieldBytes(const MessageRecord& record);

  // The From, Subject and Date lines that Append would write: what tells a
  // message apart in a store written before messages carried their digest.
  std::string Signature(const MessageRecord& record);

 private:
  std::size_t AppendFrom(const MessageRecord& record, std::string& out);
  std::size_t AppendSubject(const MessageRecord& record, std::string& out);
  std::size_t AppendDate(const MessageRecord& record, std::string& out);
  void AppendBody(const MessageRecord& record, std::string_view body, std::string& out);

  // Decoded fields, kept from one message to the next for their storage.
  std::string field_;
  std::string body_;
};

// The value of the header field `name` of a message (CR LF or LF lines),
// unfolded, without the blank after the colon; nothing when it is missing.
std::optional<std::string> HeaderField(std::string_view message, std::string_view name);

// The From, Subject and Date fields of a stored message, as Signature gives
// them for a record.
std::string StoredSignature(std::string_view message);

// Sets the message replied to: In-Reply-To and References name `parentId`
// (both go when it is empty), right after Message-Id. `lineEnd` is the
// message's own ("\r\n", or "\n" in an mbox). False when the message has
// no Message-Id line to put them after.
bool SetParentIdentifier(std::string& message, std::string_view parentId,
                         std::string_view lineEnd);

}  // namespace tav
