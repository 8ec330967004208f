// The field readers: number, sender, name and subject from a header line
// (ReadHeaderLine); date, time and replied-to number from the date line
// after it (ReadDateLine).
#pragma once

#include <string>
#include <string_view>

#include "convert/columns.h"

namespace tav {

// The fields of one message's header and date lines: code page 932 bytes as
// they stand in the log.
struct MessageFields {
  std::string MsgNo;       // five characters, zero-padded on the left
  std::string SenderId;    // up to eight characters; may be empty
  std::string SenderName;  // a one-word name keeps the space that ends it
  std::string Subject;
  std::string MsgDate;  // "4 Dec 1999"; empty when the line gives no valid date
  std::string MsgTime;  // the five characters after the date, as they stand
  std::string RefNo;    // the number replied to, five characters; empty when none
  // The date as the date line writes it ("00/04/11", or "2000/04/11" for a
  // four-digit year); empty when the line holds no date.
  std::string DateText;
};

class FieldReaders {
 public:
  // Reads a header line, as screened (full-width spaces already ASCII),
  // with message numbers `headerWidth` (3 or 5) wide. Sets MsgNo, SenderId,
  // SenderName and Subject of `fields`, and nothing else.
  void ReadHeaderLine(std::string_view line, int headerWidth, MessageFields& fields);
  // Reads a date line. Sets MsgDate, MsgTime, RefNo and DateText of `fields`.
  void ReadDateLine(std::string_view line, int headerWidth, MessageFields& fields);

 private:
  Columns columns_;  // the line being read; its storage is kept between lines
};

// The same for a single line, as new fields.
MessageFields ReadHeaderFields(std::string_view line, int headerWidth);
MessageFields ReadDateFields(std::string_view line, int headerWidth);

}  // namespace tav
