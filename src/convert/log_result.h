// What the conversion of one log asks of its caller and gives back.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/mail_writer.h"

namespace tav {

// One log to convert.
struct LogJob {
  std::filesystem::path directory;  // the folder the log is in (empty: the current folder)
  std::filesystem::path name;       // the log's file name
  int dirNameLen = 3;  // leading characters of `name` that name the output folder (1 or more)
};

enum class LogOutcome {
  Converted,         // the messages were written (`badNumbers` lists those that could not be)
  NotALog,           // no header line: nothing written, no folder made
  Declined,          // the output folder existed and the caller chose not to use it
  Unreadable,        // the log could not be read
  FolderNameUnsafe,  // the output folder's name would leave the log's folder or name a device
  FolderIsAFile,     // a file (or another entry that is no folder) stands in the folder's place
  FolderUnusable,    // the output folder cannot be made
  WriteFailed,       // a message could not be written; the rest of the log was skipped
  Stopped,           // the caller asked to stop (LogHooks::ShouldStop) before the log's end
};

struct ReplacedBytes {
  std::string msgNo;  // code page 932 bytes, as in the log
  std::size_t count = 0;
};

struct LogResult {
  LogOutcome outcome = LogOutcome::Converted;
  FolderOutcome folder;
  std::size_t written = 0;
  // Message numbers (code page 932 bytes) that cannot stand as file names,
  // each once, in the order the log has them.
  std::vector<std::string> badNumbers;
  // Messages in which bytes that the form written cannot hold were replaced.
  std::vector<ReplacedBytes> replaced;
  // Title-list entries that were not written (no message read).
  std::size_t titleEntriesPassedOver = 0;
  // Numbers whose file held a different message, which was replaced.
  std::vector<std::string> replacedMessages;
  // For a failure: the log, folder or file, and the system's reason.
  std::filesystem::path failedFile;
  std::string reason;
};

// What the caller decides or does while a log is converted.
class LogHooks {
 public:
  virtual ~LogHooks() = default;
  // The output folder, or a file of its name, is there already: true goes on
  // (into the folder; a file in its place then fails the log), false skips the log.
  virtual bool UseExistingFolder(const FolderOutcome&) { return true; }
  // Called every few hundred messages.
  virtual void KeepResponsive() {}
  // Asked before every message: true stops the log there.
  virtual bool ShouldStop() { return false; }
};

}  // namespace tav
