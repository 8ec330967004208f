// One message as the conversion reads it from a log: what a writer of
// messages receives, one record at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace tav {

// The views are valid for the call that receives the record only.
struct MessageRecord {
  // The name of the log's output folder (the first characters of the log's
  // file name), UTF-8. Writers that keep no folders use it to tell logs apart.
  std::string_view FolderName;

  // Code page 932 bytes as they stand in the log; the full-width spaces of
  // the header line are already single ASCII spaces.
  std::string_view MsgNo;       // five characters, zero-padded on the left
  std::string_view SenderId;    // up to eight characters; may be empty
  std::string_view SenderName;  // a one-word name keeps the space that ends it
  std::string_view Subject;
  std::string_view MsgDate;  // "4 Dec 1999"; empty when the log gives no valid date
  std::string_view MsgTime;  // five characters as they stand ("12:34"); may be empty
  std::string_view RefNo;    // the number replied to, five characters; empty when none
  std::string_view Body;     // the body lines, each followed by CR LF

  // The date as the date line writes it: the two-digit year, month and day
  // ("00/04/11"), or all four digits of a year written so ("2000/04/11").
  // Empty when the line holds no date.
  std::string_view DateText;
  // The longest line of Body in bytes (without its CR LF), where the
  // scanner measured it: then every line of Body ends in CR LF and holds
  // no CR or LF of its own. Unknown (npos) otherwise.
  std::size_t LongestBodyLine = std::string_view::npos;
  // A title-list entry: a header line whose "date line" is the next title's
  // header line. It is no message read; the default output writes it only
  // where no file of its number exists, the standard forms never.
  bool TitleListEntry = false;
};

}  // namespace tav
