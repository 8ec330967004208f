// Where the messages of a conversion go. The conversion hands a writer one
// log after another and, within a log, one message record at a time; the
// writer owns how and where they are stored (a folder of files beside each
// log, one mailbox file, a Maildir).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "mail/message_record.h"
#include "platform/file_system.h"

namespace tav {

// The log whose messages follow.
struct LogTarget {
  std::filesystem::path directory;   // the folder the log is in (empty: the current folder)
  std::filesystem::path folderName;  // the first characters of the log's file name
};

enum class FolderStatus {
  NotKept,       // the writer keeps no folder per log
  Created,       // made for this log
  Existed,       // a folder of that name was there already; the messages go into it
  FileInTheWay,  // a file (or another entry) of that name is there
  Unsafe,        // the name would leave the log's folder or name a device
  Failed,        // cannot be made; see `reason`
};

struct FolderOutcome {
  FolderStatus status = FolderStatus::NotKept;
  std::filesystem::path folder;  // the log's output folder, where one is kept
  std::string reason;            // the system's text, for a folder that cannot be used
};

struct WriteResult {
  enum class Status {
    Written,
    PassedOver,      // a title-list entry that the form does not write
    NumberUnusable,  // the message number cannot stand as a file name: not written
    Failed,          // see `file` and `reason`
  };
  Status status = Status::Written;
  std::filesystem::path file;
  std::string reason;
  // Bytes of the log that the form written cannot hold (code page 932 that
  // does not decode) and that were replaced.
  std::size_t replacedBytes = 0;
  // The file of the message's number held a different message, which this
  // one replaced (a title-list entry this run wrote does not count).
  bool replacedAnother = false;
  // With Failed from a writer that writes in the background: how many of
  // the log's messages reported Written before were not written after all
  // (the one that failed and those after it).
  std::size_t notWritten = 0;
};

class MailWriter {
 public:
  virtual ~MailWriter() = default;
  // A log's messages follow. A writer that keeps a folder per log makes it here.
  virtual FolderOutcome BeginLog(const LogTarget& target) = 0;
  // A failure of an earlier message's file may come back here, as Failed
  // with `notWritten`; the log's conversion then ends.
  virtual WriteResult Write(const MessageRecord& message) = 0;
  // The log's last message was handed over: a writer that writes in the
  // background waits for its files here. Failed as for Write.
  virtual WriteResult EndLog() { return {}; }
  // Every log was converted: what the writer held back goes out (a reply
  // whose parent came later, a mailbox). Nothing further is written.
  virtual IoResult Finish() { return IoResult::Success(); }
};

}  // namespace tav
