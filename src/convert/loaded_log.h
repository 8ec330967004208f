// One log in memory: its bytes as read, where each line starts, and which
// lines have the shape of a header line. Loading and screening fill it; the
// message scanner reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bulk_allocator.h"
#include "platform/file_system.h"

namespace tav {

// What screening and confirmation found for one line.
enum class LineKind : std::uint8_t {
  Other = 0,
  Header = 1,     // a header line: its shape, and (once confirmed) the line after it agrees
  ShapeOnly = 2,  // a header line's shape that the line after it did not confirm
};

class LoadedLog {
 public:
  // Reads the log into memory and screens its lines (LoadLog). On a
  // failure the log is empty and the reason comes back.
  IoResult LoadLog(FileSystem& files, const std::filesystem::path& logPath);
  // Marks ShapeOnly every header-shaped line that the line after it does
  // not confirm: a header line is only one when the next line holds a ":"
  // and a "/".
  void ConfirmHeaders();
  // Empties the log and gives its memory back.
  void Release();

  // 0: no header-shaped line; 3 or 5: the width of the message number, from
  // the last header-shaped line of the log.
  int HeaderWidth() const { return HeaderWidth_; }
  // Lines are numbered from 1; EndLine() is the index after the last line
  // (the end marker), so an empty log has EndLine() 1.
  std::size_t EndLine() const { return LogLines.size() - 2; }
  LineKind Kind(std::size_t index) const { return static_cast<LineKind>(HeaderFlags[index]); }
  // True for a line screening found header-shaped, confirmed or not.
  bool IsHeaderShaped(std::size_t index) const { return HeaderFlags[index] != 0; }

  // Line `index` as it stands in the log.
  std::string_view Line(std::size_t index) const {
    const std::size_t begin = LogLines[index];
    std::size_t end = LogLines[index + 1];
    // A line's own bytes hold no CR or LF: what ends it is its line end.
    if (end > begin && LogText[end - 1] == '\n') --end;
    if (end > begin && LogText[end - 1] == '\r') --end;
    return {LogText.data() + begin, end - begin};
  }
  // Line `index` as the conversion reads it: a header-shaped line has its
  // full-width spaces as ASCII spaces. Valid until the next call.
  std::string_view ScreenedLine(std::size_t index);

  // Lines `first` to `end` - 1 as the conversion reads them, each followed
  // by CR LF: where they stand so in the log (CR LF line ends, no
  // header-shaped line among them), a view of the log itself; otherwise
  // built in `copy`. `longest` becomes the length of the longest of them.
  std::string_view LinesWithCrLf(std::size_t first, std::size_t end, std::string& copy,
                                 std::size_t& longest);

  // `line` with every full-width space replaced by one ASCII space, into `out`.
  static void ConvertWideSpaces(std::string_view line, std::string& out);

 private:
  void SplitAndScreen();
  // Tests one line, at index CurLine, for the two header-line shapes.
  void ScreenLine(std::string_view line);

  // The log's bytes as read. Never changed: the conversion reads copies.
  FileBytes LogText;
  // LogLines[k] is the offset in LogText where line k starts; a line runs to
  // the next line's start, less its line end. Index 0 holds no line; line k
  // of the file is at index k; the entry after the last line is the end
  // marker (an empty line), and one more entry closes it. The end of the log
  // is found by position, so a line that reads "eof" is an ordinary line.
  std::vector<std::uint64_t, BulkAllocator<std::uint64_t>> LogLines = {0, 0, 0};
  // Same indices: the LineKind of each line, as a byte so that the next
  // flagged line is found with a byte search.
  std::vector<std::uint8_t, BulkAllocator<std::uint8_t>> HeaderFlags = {0, 0, 0};
  std::size_t CurLine = 0;
  int HeaderWidth_ = 0;
  std::string screened_;  // ScreenedLine's copy
};

}  // namespace tav
