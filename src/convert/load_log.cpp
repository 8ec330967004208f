// Loading a log into the line array and screening every line for the two
// shapes of a header line.
#include <cstring>

#include "convert/convert.h"
#include "platform/cp932.h"

namespace tav {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Finds the next CR or LF from `pos`, remembering where each was found so
// that the whole text is searched about once for each.
class LineEndFinder {
 public:
  explicit LineEndFinder(std::string_view text)
      : text_(text), nextCr_(Find('\r', 0)), nextLf_(Find('\n', 0)) {}

  std::size_t Next(std::size_t pos) {
    if (nextCr_ < pos) nextCr_ = Find('\r', pos);
    if (nextLf_ < pos) nextLf_ = Find('\n', pos);
    return nextCr_ < nextLf_ ? nextCr_ : nextLf_;
  }

 private:
  std::size_t Find(char c, std::size_t pos) const {
    const void* hit = std::memchr(text_.data() + pos, c, text_.size() - pos);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data())
               : text_.size();
  }

  std::string_view text_;
  std::size_t nextCr_;
  std::size_t nextLf_;
};

}  // namespace

void Convert::LoadLog() {
  LogText.clear();
  LogLines.clear();
  HeaderFlags.clear();
  CurLine = 0;
  HeaderWidth = 0;
  OutDirExisted = false;
  WrittenCount = 0;
  BadNumbers.clear();

  const IoResult read = g.files.ReadWholeFile(g.LogPath, LogText);
  if (!read.ok) {
    LogText.clear();
    LogLines.assign(2, LineRange{});
    HeaderFlags.assign(2, 0);
    CurLine = EndLine();
    g.ReportLogUnreadable(read.reason);
    if (g.Answer != kOk) StopRun();
    return;
  }

  SplitAndScreen();
  // The end marker goes after the last line read.
  LogLines.push_back(LineRange{LogText.size(), 0});
  HeaderFlags.push_back(0);
  CurLine = EndLine();

  if (HeaderWidth != 0) {
    MakeOutDir();
    return;
  }
  g.AskSkipLog();
  if (g.Answer != kOk) StopRun();
}

void Convert::SplitAndScreen() {
  const std::string_view text = LogText;
  // Lines are rarely shorter than this; reserved pages that are never used
  // cost address space only.
  const std::size_t expected = text.size() / 8 + 2;
  LogLines.reserve(expected);
  HeaderFlags.reserve(expected);
  LogLines.push_back(LineRange{});
  HeaderFlags.push_back(0);

  LineEndFinder finder(text);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = finder.Next(pos);
    LogLines.push_back(LineRange{pos, end - pos});
    HeaderFlags.push_back(0);
    ++CurLine;
    ScreenLine();
    if (end == text.size()) break;
    // CR LF, a lone CR and a lone LF each end a line.
    pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

void Convert::ScreenLine() {
  const std::string_view line = Line(CurLine);
  // Both shapes need an ASCII digit as the first character.
  if (line.empty() || !IsDigit(line[0])) return;

  // Byte offsets of the first 13 characters (and of the 14th).
  std::size_t start[14];
  std::size_t chars = 0;
  std::size_t i = 0;
  while (chars < 13 && i < line.size()) {
    start[chars++] = i;
    i += CharSizeAt(line, i);
  }
  if (chars < 13) return;
  start[13] = i;
  auto is = [&](int column, char ascii) {
    return start[column] - start[column - 1] == 1 && line[start[column - 1]] == ascii;
  };
  auto isDigit = [&](int column) {
    return start[column] - start[column - 1] == 1 && IsDigit(line[start[column - 1]]);
  };

  // Character 4 is "/" in the one shape and a digit in the other, so a line
  // can match one shape only.
  if (is(4, '/') && isDigit(1) && isDigit(3) && isDigit(7)) {
    HeaderWidth = 3;
    HeaderFlags[CurLine] = 1;
    ConvertWideSpaces();
  } else if (is(6, '/') && !is(9, ' ') && isDigit(1) && isDigit(4) && isDigit(11)) {
    HeaderWidth = 5;
    HeaderFlags[CurLine] = 1;
    ConvertWideSpaces();
  }
}

void Convert::ConvertWideSpaces() {
  LineRange& range = LogLines[CurLine];
  char* bytes = LogText.data() + range.begin;
  const std::string_view line(bytes, range.size);
  // Rewrites the line in place: the write position never passes the read
  // position, since a full-width space (two bytes) becomes one byte.
  std::size_t write = 0;
  for (std::size_t read = 0; read < line.size();) {
    const std::size_t size = CharSizeAt(line, read);
    if (size == 2 && bytes[read] == '\x81' && bytes[read + 1] == '\x40') {
      bytes[write++] = ' ';
    } else {
      for (std::size_t k = 0; k < size; ++k) bytes[write++] = bytes[read + k];
    }
    read += size;
  }
  range.size = write;
}

}  // namespace tav
