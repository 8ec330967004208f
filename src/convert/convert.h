// Module `convert`: the conversion run, the loaded log, its output folder,
// the message record and the procedures that turn a log into .eml files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "convert/columns.h"
#include "global/global.h"
#include "platform/bulk_allocator.h"
#include "platform/file_bytes.h"

namespace tav {

// The mail domain of the service's members, used in every From line.
inline constexpr std::string_view kMailDomain = "tav.example.jp";

// HeaderWidth after loading when the user chose to stop the run.
inline constexpr int kRunStopped = 10;

class Convert {
 public:
  explicit Convert(Global& global) : g(global) {}
  Convert(const Convert&) = delete;
  Convert& operator=(const Convert&) = delete;

  Global& g;

  // --- The loaded log ---

  // One line of the log: a range of `LogText`, packed into eight bytes, as
  // a log holds millions of lines. A line of kLongLine bytes or more keeps
  // kLongLine as its size; its text runs on to the first CR or LF after
  // that (see LongLine).
  struct LineRange {
    std::uint64_t begin : 40 = 0;  // logs of up to 1 TiB
    std::uint64_t size : 24 = 0;
  };
  static constexpr std::size_t kLongLine = (std::size_t{1} << 24) - 1;
  static constexpr std::size_t kMaxLogSize = std::size_t{1} << 40;

  // The log's bytes as read; lines are ranges of it. Screening rewrites
  // header lines in place (a full-width space becomes one ASCII space, so a
  // line only ever shrinks).
  FileBytes LogText;
  // Index 0 holds no line; line k of the file is at index k; the entry after
  // the last line is the end marker (an empty range). The end of the log is
  // found by position, so a line that reads "eof" is an ordinary line.
  std::vector<LineRange, BulkAllocator<LineRange>> LogLines;
  // 1 for a header line, same indices as LogLines.
  std::vector<std::uint8_t, BulkAllocator<std::uint8_t>> HeaderFlags;
  std::size_t CurLine = 0;
  // 0: no header line (or the log was skipped); 3 or 5: width of the
  // message number; kRunStopped: the user chose to stop the run.
  int HeaderWidth = 0;

  std::string_view Line(std::size_t index) const {
    const LineRange& range = LogLines[index];
    if (range.size < kLongLine) return {LogText.data() + range.begin, range.size};
    return LongLine(range);
  }
  // Index of the end marker.
  std::size_t EndLine() const { return LogLines.size() - 1; }
  bool AtEnd() const { return CurLine == EndLine(); }

  // --- Output folder ---

  std::filesystem::path OutDir;
  // True when the log's output folder was there before the run reached it.
  bool OutDirExisted = false;

  // --- Message record: code page 932 bytes as they stand in the log ---

  std::string MsgNo;
  std::string SenderId;
  std::string SenderName;
  std::string Subject;
  std::string MsgDate;
  std::string MsgTime;
  std::string RefNo;
  std::string Body;
  std::filesystem::path EmlPath;

  // Outcome of the last WriteEml.
  enum class WriteOutcome { Written, BadNumber, Failed };
  WriteOutcome LastWrite = WriteOutcome::Written;
  std::string LastWriteReason;
  // Messages of the current log written, and numbers not written.
  std::size_t WrittenCount = 0;
  std::vector<std::string> BadNumbers;

  // --- Procedures ---

  void RunConversion();  // run.cpp
  void LoadLog();        // load_log.cpp
  void ScreenLine();
  void ConvertWideSpaces();
  void MakeOutDir();       // out_dir.cpp
  void ConvertMessages();  // scanner.cpp
  // The confirmation pass of ConvertMessages: clears the flag of every
  // header-shaped line that the line after it does not confirm.
  void ConfirmHeaders();
  void CollectBody();
  void ReadHeaderLine();  // header_fields.cpp
  void ReadDateLine();
  void WriteEml();  // eml_writer.cpp

 private:
  // Stops the run from inside a log: panel 1 shows "end" and the run ends
  // without its end beeps.
  void StopRun();
  // Reads the log's lines into LogLines and screens each.
  void SplitAndScreen();
  // The text of a line of kLongLine bytes or more.
  std::string_view LongLine(const LineRange& range) const;
  // The folder-name length from the number box; false (after telling the
  // user) when the box holds no whole number from 1 to 32767.
  bool TakeDirNameLen();

  Columns columns_;      // the line the field readers look at
  std::string emlText_;  // the file WriteEml writes, reused between messages
};

}  // namespace tav
