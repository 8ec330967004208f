// The conversion of one log, shared by the window's run and the command-line
// converter: the log is read into memory once and never changed, screened,
// cut into messages, and each message handed to a writer the caller chose.
// What happened comes back as a value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "convert/columns.h"
#include "convert/mail_writer.h"
#include "platform/bulk_allocator.h"
#include "platform/file_system.h"

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
  FolderUnusable,    // the output folder cannot be made, or a file stands in its place
  WriteFailed,       // a message could not be written; the rest of the log was skipped
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
};

class LogConverter {
 public:
  explicit LogConverter(FileSystem& files) : files_(files) {}
  LogConverter(const LogConverter&) = delete;
  LogConverter& operator=(const LogConverter&) = delete;

  // Converts one log. Never throws: every failure, an exception included,
  // ends up in the result, which stays valid until the next call.
  const LogResult& ConvertLog(const LogJob& job, MailWriter& writer, LogHooks& hooks);

  // --- The loaded log ---

  // The log's bytes as read. Never changed: the conversion reads copies.
  FileBytes LogText;
  // LogLines[k] is the offset in LogText where line k starts; a line runs to
  // the next line's start, less its line end. Index 0 holds no line; line k
  // of the file is at index k; the entry after the last line is the end
  // marker (an empty line), and one more entry closes it. The end of the log
  // is found by position, so a line that reads "eof" is an ordinary line.
  std::vector<std::uint64_t, BulkAllocator<std::uint64_t>> LogLines;
  // Same indices: kHeaderLine for a header line (after screening: a line of
  // a header line's shape), kShapeOnly for a line of that shape that the
  // line after it did not confirm, 0 for any other line.
  std::vector<std::uint8_t, BulkAllocator<std::uint8_t>> HeaderFlags;
  static constexpr std::uint8_t kHeaderLine = 1;
  static constexpr std::uint8_t kShapeOnly = 2;
  std::size_t CurLine = 0;
  // 0: no header line; 3 or 5: width of the message number.
  int HeaderWidth = 0;

  // Line `index` as it stands in the log.
  std::string_view Line(std::size_t index) const {
    const std::size_t begin = LogLines[index];
    std::size_t end = LogLines[index + 1];
    // A line's own bytes hold no CR or LF: what ends it is its line end.
    if (end > begin && LogText[end - 1] == '\n') --end;
    if (end > begin && LogText[end - 1] == '\r') --end;
    return {LogText.data() + begin, end - begin};
  }
  // Line `index` as the conversion reads it: a line of a header line's shape
  // has its full-width spaces as ASCII spaces. Valid until the next call.
  std::string_view ScreenedLine(std::size_t index);
  // Index of the end marker.
  std::size_t EndLine() const { return LogLines.size() - 2; }
  bool AtEnd() const { return CurLine == EndLine(); }

  // --- Message record: code page 932 bytes as they stand in the log ---

  std::string MsgNo;
  std::string SenderId;
  std::string SenderName;
  std::string Subject;
  std::string MsgDate;
  std::string MsgTime;
  std::string RefNo;
  std::string Body;

  // --- Procedures ---

  // Reads the log into LogText and screens its lines (load_log.cpp).
  IoResult LoadLog(const std::filesystem::path& logPath);
  // Tests one line for the two header-line shapes, at index CurLine.
  void ScreenLine(std::string_view line);
  // `line` with every full-width space replaced by one ASCII space, into `out`.
  static void ConvertWideSpaces(std::string_view line, std::string& out);
  // Marks kShapeOnly every header-shaped line that the line after it does
  // not confirm (scanner.cpp).
  void ConfirmHeaders();
  // Confirms the header lines, then hands every message to the writer.
  void ConvertMessages(MailWriter& writer, LogHooks& hooks);
  void CollectBody();
  void ReadHeaderLine();  // header_fields.cpp
  void ReadDateLine();

 private:
  void SplitAndScreen();
  // Ends the conversion of the log with a failure.
  const LogResult& Fail(LogOutcome outcome, const std::filesystem::path& file,
                        std::string reason);

  FileSystem& files_;
  LogResult result_;
  std::string folderName_;  // the output folder's name, UTF-8, for the records
  std::string screened_;    // ScreenedLine's copy
  Columns columns_;         // the line the field readers look at
};

}  // namespace tav
