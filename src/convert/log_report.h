// What there is to tell about one converted log, in the order to tell it:
// the failure, if any, then the notices. Both front ends take this one
// description and put each event in their own words (a line on the error
// stream, a message box).
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "convert/log_result.h"

namespace tav {

enum class LogEventKind {
  NotALog,           // no header line: the log is skipped
  Unreadable,        // `file` (the log) cannot be read: `reason`
  FolderNameUnsafe,  // `file` (the folder) has a name that cannot be used; log skipped
  FolderIsAFile,     // a file stands where the folder `file` would be: `reason`; log skipped
  FolderUnusable,    // the folder `file` cannot be made: `reason`; log skipped
  WriteFailed,       // `file` cannot be written: `reason`; the rest of the log skipped
  FolderReused,      // the folder `file` existed; the messages went into it
  NumberNotWritten,  // message `number` cannot stand as a file name: not written
  BytesReplaced,     // message `number`: `count` bytes that do not decode were replaced
  TitleEntriesPassedOver,  // `count` title-list entries were not written: no message read
  MessageReplaced,   // the file of message `number` held a different message, now replaced
};

struct LogEvent {
  LogEventKind kind;
  std::filesystem::path file;
  std::string reason;
  std::string number;  // code page 932 bytes, as in the log
  std::size_t count = 0;

  // Something the log holds was not converted: the command line's exit
  // status says so.
  bool IsFailure() const;
};

std::vector<LogEvent> DescribeLog(const std::filesystem::path& logPath, const LogResult& result);
// The same events handed to `tell` one at a time, in the same order: a log
// can hold tens of thousands of notices.
void ForEachLogEvent(const std::filesystem::path& logPath, const LogResult& result,
                     const std::function<void(const LogEvent&)>& tell);

}  // namespace tav
