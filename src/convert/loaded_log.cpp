// Loading a log into memory, screening every line for the two shapes of a
// header line, and confirming the header lines by the line after each.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "convert/loaded_log.h"

#include <cstring>

#include "platform/cp932.h"
#include "platform/line_ends.h"

namespace tav {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// True when none of the 13 bytes at `bytes` has its high bit set.
bool IsAscii13(const char* bytes) {
  unsigned char any = 0;
  for (int k = 0; k < 13; ++k) any |= static_cast<unsigned char>(bytes[k]);
  return any < 0x80;
}

}  // namespace

IoResult LoadedLog::LoadLog(FileSystem& files, const std::filesystem::path& logPath) {
  LogLines.clear();
  HeaderFlags.clear();
  CurLine = 0;
  HeaderWidth_ = 0;
  const IoResult read = files.ReadWholeFile(logPath, LogText);
  if (!read.ok) LogText.clear();
  SplitAndScreen();
  return read;
}

void LoadedLog::SplitAndScreen() {
  const char* const text = LogText.data();
  const std::size_t size = LogText.size();
  // Lines are rarely shorter than this; reserved pages that are never used
  // cost address space only.
  const std::size_t expected = size / 8 + 4;
  LogLines.reserve(expected);
  HeaderFlags.reserve(expected);
  LogLines.push_back(0);
  HeaderFlags.push_back(0);

  std::size_t lineStart = 0;
  // Ends the line that runs from lineStart to `lineEnd` (a CR, an LF or the
  // end of the text) and screens it. Both header shapes start with an
  // ASCII digit; most lines do not.
  auto endLine = [&](std::size_t lineEnd) {
    LogLines.push_back(lineStart);
    HeaderFlags.push_back(0);
    ++CurLine;
    if (lineEnd > lineStart && IsDigit(text[lineStart])) {
      ScreenLine(std::string_view(text + lineStart, lineEnd - lineStart));
    }
    lineStart = lineEnd + (lineEnd < size ? LineEndSize(View(LogText), lineEnd) : 1);
  };

  // The CRs and LFs of each block of 64 bytes as the bits of one number,
  // taken lowest first: one pass over the text, no search per line. The LF
  // of a CR LF pair lies before the next line's start and is passed over.
  for (std::size_t block = 0; block < size; block += 64) {
    for (std::uint64_t ends = LineEndBits(text + block, std::min<std::size_t>(64, size - block));
         ends != 0; ends &= ends - 1) {
      const std::size_t lineEnd = block + static_cast<std::size_t>(std::countr_zero(ends));
      if (lineEnd >= lineStart) endLine(lineEnd);
    }
  }
  // A last line without a line end; a line end at the very end adds none.
  if (lineStart < size) endLine(size);

  // The end marker, an empty line after the last, and the entry that closes it.
  LogLines.push_back(size);
  LogLines.push_back(size);
  HeaderFlags.push_back(0);
  HeaderFlags.push_back(0);
  CurLine = EndLine();
}

void LoadedLog::ScreenLine(std::string_view line) {
  // Both shapes need an ASCII digit as the first character.
  if (line.empty() || !IsDigit(line[0])) return;

  // Byte offsets of the first 13 characters (and of the 14th). A byte
  // below 0x80 is a character of its own, so when the first 13 bytes are
  // all such bytes (the usual header line), character k is byte k.
  std::size_t start[14];
  std::size_t chars = 0;
  std::size_t i = 0;
  if (line.size() >= 13 && IsAscii13(line.data())) {
    for (; chars < 14; ++chars) start[chars] = chars;
  } else {
    while (chars < 13 && i < line.size()) {
      start[chars++] = i;
      i += CharSizeAt(line, i);
    }
    if (chars < 13) return;
    start[13] = i;
  }
  auto is = [&](int column, char ascii) {
    return start[column] - start[column - 1] == 1 && line[start[column - 1]] == ascii;
  };
  auto isDigit = [&](int column) {
    return start[column] - start[column - 1] == 1 && IsDigit(line[start[column - 1]]);
  };

  // Character 4 is "/" in the one shape and a digit in the other, so a line
  // can match one shape only. A full-width space at character 9 is not an
  // ASCII space, as the line's full-width spaces become ASCII ones only
  // after this test.
  if (is(4, '/') && isDigit(1) && isDigit(3) && isDigit(7)) {
    HeaderWidth_ = 3;
    HeaderFlags[CurLine] = static_cast<std::uint8_t>(LineKind::Header);
  } else if (is(6, '/') && !is(9, ' ') && isDigit(1) && isDigit(4) && isDigit(11)) {
    HeaderWidth_ = 5;
    HeaderFlags[CurLine] = static_cast<std::uint8_t>(LineKind::Header);
  }
}

std::string_view LoadedLog::ScreenedLine(std::size_t index) {
  const std::string_view line = Line(index);
  // Most header lines hold no full-width space at all; a byte pair 81 40
  // is looked for first (it may also be the end of another character, so
  // only ConvertWideSpaces decides).
  if (HeaderFlags[index] == 0 || line.find("\x81\x40") == std::string_view::npos) return line;
  ConvertWideSpaces(line, screened_);
  return screened_;
}

std::string_view LoadedLog::LinesWithCrLf(std::size_t first, std::size_t end, std::string& copy,
                                          std::size_t& longest) {
  longest = 0;
  bool inPlace = true;
  for (std::size_t k = first; k < end && inPlace; ++k) {
    // A line's own bytes hold no CR or LF, so these two are its line end.
    const std::uint64_t next = LogLines[k + 1];
    inPlace = HeaderFlags[k] == 0 && next >= LogLines[k] + 2 && LogText[next - 2] == '\r' &&
              LogText[next - 1] == '\n';
    longest = std::max<std::size_t>(longest, next - 2 - LogLines[k]);
  }
  if (inPlace) return {LogText.data() + LogLines[first], LogLines[end] - LogLines[first]};
  longest = 0;
  copy.clear();
  for (std::size_t k = first; k < end; ++k) {
    const std::string_view line = ScreenedLine(k);
    longest = std::max(longest, line.size());
    copy += line;
    copy += "\r\n";
  }
  return copy;
}

void LoadedLog::ConvertWideSpaces(std::string_view line, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t size = CharSizeAt(line, i);
    if (size == 2 && line[i] == '\x81' && line[i + 1] == '\x40') {
      out += ' ';
    } else {
      out.append(line, i, size);
    }
    i += size;
  }
}

void LoadedLog::ConfirmHeaders() {
  // The end marker holds neither ":" nor "/", and its flag is 0. Flagged
  // lines are gathered a batch at a time and the lines after them fetched
  // ahead: in a large log each would otherwise be a wait on memory.
  constexpr auto kHeader = static_cast<std::uint8_t>(LineKind::Header);
  const std::uint8_t* const flags = HeaderFlags.data();
  const std::size_t end = EndLine();
  constexpr std::size_t kBatch = 16;
  std::size_t batch[kBatch];
  for (std::size_t k = 1; k < end;) {
    std::size_t count = 0;
    for (; count < kBatch && k < end; ++k) {
      const void* hit = std::memchr(flags + k, kHeader, end - k);
      if (hit == nullptr) {
        k = end;
        break;
      }
      k = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - flags);
      batch[count++] = k;
#if defined(__GNUC__)
      __builtin_prefetch(LogText.data() + LogLines[k + 1]);
#endif
    }
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view next = Line(batch[i] + 1);
      if (next.find(':') == std::string_view::npos || next.find('/') == std::string_view::npos) {
        HeaderFlags[batch[i]] = static_cast<std::uint8_t>(LineKind::ShapeOnly);
      }
    }
  }
  CurLine = end;
}

void LoadedLog::Release() {
  // Fresh arrays: an empty log, its entries written, its memory given back.
  LogText = FileBytes();
  LogLines = {0, 0, 0};
  HeaderFlags = {0, 0, 0};
  screened_ = std::string();
  CurLine = 0;
  HeaderWidth_ = 0;
}

}  // namespace tav
