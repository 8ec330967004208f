// One message in standard Internet mail form (RFC 5322, RFC 2045-2047):
// UTF-8 text, encoded words in the headers, lines within their limits.
#pragma once

#include <cstddef>
#include <string>

#include "mail/message_record.h"

namespace tav {

class MimeMessageBuilder {
 public:
  // Appends the whole message for `record` to `out`: From, Subject, Date
  // (when the record has a valid date and time), Message-Id, In-Reply-To and
  // References (for a reply), the MIME header lines, an empty line and the
  // body followed by one more CR LF; CR LF line ends throughout. Returns the
  // number of bytes of all fields that the decoding replaced by U+FFFD.
  std::size_t Append(const MessageRecord& record, std::string& out);

 private:
  std::size_t AppendFrom(const MessageRecord& record, std::string& out);
  std::size_t AppendSubject(const MessageRecord& record, std::string& out);
  std::size_t AppendDate(const MessageRecord& record, std::string& out);
  std::size_t AppendIdentifiers(const MessageRecord& record, std::string& out);
  std::size_t AppendBody(const MessageRecord& record, std::string& out);

  // Decoded fields, kept from one message to the next for their storage.
  std::string field_;
  std::string body_;
};

}  // namespace tav
