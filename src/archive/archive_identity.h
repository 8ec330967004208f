// What makes two readings the same message, and which readings are
// messages at all. This file stands in for the shared rules of the mail
// layer until they arrive there; everything the archive needs of them goes
// through these three functions.
#pragma once

#include <cstdint>
#include <string>

#include "convert/message_record.h"

namespace tav {

// A title-list entry (a header line whose date line was the next header
// line) is no message. The record does not tell yet; until it does, every
// record counts as a message.
inline bool IsTitleListEntry(const MessageRecord&) {
  return false;
}

// The date and time as the date line gives them.
std::string DateLineText(const MessageRecord& record);

// A digest of the fields that make a message's identity: folder name,
// number, sender ID, sender name, subject, date line text and reply number,
// as bytes. The same on every run and every system.
std::uint64_t IdentityDigest(const MessageRecord& record);

}  // namespace tav
