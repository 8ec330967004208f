// The conversion of one log, shared by the window's run and the command-line
// converter: the log is read into memory once and never changed, screened,
// cut into messages, and each message handed to a writer the caller chose.
// What happened comes back as a value.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "convert/loaded_log.h"
#include "convert/log_result.h"
#include "convert/mail_writer.h"
#include "convert/message_scanner.h"
#include "platform/file_system.h"

namespace tav {

// What loading, screening and confirming a log found, without converting it.
struct LogScan {
  IoResult read;
  int headerWidth = 0;          // 0: no header-shaped line; else 3 or 5
  std::size_t lines = 0;        // lines of the log
  std::size_t headerLines = 0;  // confirmed header lines: the messages of the log
};

class LogConverter {
 public:
  explicit LogConverter(FileSystem& files) : files_(files) {}
  LogConverter(const LogConverter&) = delete;
  LogConverter& operator=(const LogConverter&) = delete;

  // Converts one log. Never throws: every failure, an exception included,
  // ends up in the result, which stays valid until the next call.
  const LogResult& ConvertLog(const LogJob& job, MailWriter& writer, LogHooks& hooks);

  // Loads, screens and confirms a log and writes nothing: the part of a
  // conversion that the benchmark times on its own.
  LogScan ScanLog(const std::filesystem::path& logPath);

 private:
  // Ends the conversion of the log with a failure.
  const LogResult& Fail(LogOutcome outcome, const std::filesystem::path& file,
                        std::string reason);
  // Whether the messages may go into the folder the writer prepared; fails
  // the log where they may not.
  bool FolderUsable(LogHooks& hooks);

  FileSystem& files_;
  LoadedLog log_;
  MessageScanner scanner_;
  LogResult result_;
};

}  // namespace tav
