// The moment a message was written, as the log gives it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "mail/message_record.h"

namespace tav {

// The date and time of `record` ("4 Dec 1999" and "12:34", Japan Standard
// Time) as a point in time, when the log gives both and both are valid
// (hours 00 to 23, minutes 00 to 59); nothing otherwise. Where the date line
// writes a four-digit year (DateText "2030/01/05"), that year counts, and a
// day that year does not have gives nothing.
std::optional<std::chrono::sys_seconds> MessageTime(const MessageRecord& record);

// The record's date as "d Mon yyyy", with the year the date line writes
// where it writes four digits; the date as read otherwise (possibly empty).
std::string MessageDate(const MessageRecord& record);

}  // namespace tav
