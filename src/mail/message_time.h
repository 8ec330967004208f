// The moment a message was written, as the log gives it.
#pragma once

#include <chrono>
#include <optional>

#include "mail/message_record.h"

namespace tav {

// The date and time of `record` ("4 Dec 1999" and "12:34", Japan Standard
// Time) as a point in time, when the log gives both and both are valid
// (hours 00 to 23, minutes 00 to 59); nothing otherwise.
std::optional<std::chrono::sys_seconds> MessageTime(const MessageRecord& record);

}  // namespace tav
