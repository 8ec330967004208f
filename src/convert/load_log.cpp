// Loading a log into the line array and screening every line for the two
// shapes of a header line.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "convert/convert.h"
#include "platform/cp932.h"

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

// Eight bytes as one number, in memory order from the low byte up.
std::uint64_t LoadWord(const char* bytes) {
  std::uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, bytes, sizeof word);
  } else {
    for (int i = 7; i >= 0; --i) word = word << 8 | static_cast<unsigned char>(bytes[i]);
  }
  return word;
}

// The high bit of each byte of `word` that equals `c`, and possibly of
// bytes above such a byte (the lowest bit set is always exact).
std::uint64_t BytesEqual(std::uint64_t word, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
  return (x - kOnes) & ~x & kHighs;
}

// The first CR or LF in [p, end), or end. Many bytes at a time: lines
// average a few dozen bytes, and one pass finds either character.
const char* FindLineEnd(const char* p, const char* end) {
#ifdef __SSE2__
  // Sixteen bytes at a time where the processor has SSE2 (every x86-64).
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
    if (hits != 0) return p + std::countr_zero(static_cast<unsigned>(hits));
  }
#endif
  for (; end - p >= 8; p += 8) {
    const std::uint64_t word = LoadWord(p);
    const std::uint64_t hits = BytesEqual(word, '\r') | BytesEqual(word, '\n');
    if (hits != 0) return p + std::countr_zero(hits) / 8;
  }
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

// Bit k set when bytes[k] is a CR or an LF, for the `count` (at most 64)
// bytes at `bytes`.
std::uint64_t LineEndBits(const char* bytes, std::size_t count) {
#ifdef __SSE2__
  if (count == 64) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int part = 0; part < 4; ++part) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
      const int hits =
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
      bits |= static_cast<std::uint64_t>(static_cast<unsigned>(hits)) << (16 * part);
    }
    return bits;
  }
#endif
  std::uint64_t bits = 0;
  for (std::size_t k = 0; k < count; ++k) {
    if (bytes[k] == '\r' || bytes[k] == '\n') bits |= std::uint64_t{1} << k;
  }
  return bits;
}

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

  IoResult read = g.files.ReadWholeLog(g.LogPath, LogText);
  if (read.ok) {
    // A LineRange holds positions below 1 TiB. No machine this runs on holds
    // such a log in memory; should one, it is too large like any other.
    if (LogText.size() >= kMaxLogSize) throw std::bad_alloc();
    SplitAndScreen();
    if (!LogText.Intact(read.reason)) read.ok = false;
  }
  if (!read.ok) {
    LogText.clear();
    HeaderWidth = 0;
    LogLines.assign(2, LineRange{});
    HeaderFlags.assign(2, 0);
    CurLine = EndLine();
    g.ReportLogUnreadable(read.reason);
    if (g.Answer != kOk) StopRun();
    return;
  }

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
  const char* const text = LogText.data();
  const std::size_t size = LogText.size();
  // Lines are rarely shorter than this; reserved pages that are never used
  // cost address space only.
  const std::size_t expected = size / 8 + 2;
  LogLines.reserve(expected);
  HeaderFlags.reserve(expected);
  LogLines.push_back(LineRange{});
  HeaderFlags.push_back(0);

  std::size_t lineStart = 0;
  // Ends the line that runs from lineStart to `lineEnd` (a CR, an LF or the
  // end of the text) and screens it. Both header shapes start with an
  // ASCII digit; most lines do not.
  auto endLine = [&](std::size_t lineEnd) {
    LogLines.push_back(LineRange{lineStart, std::min(lineEnd - lineStart, kLongLine)});
    HeaderFlags.push_back(0);
    ++CurLine;
    if (lineEnd > lineStart && IsDigit(text[lineStart])) ScreenLine();
    // CR LF, a lone CR and a lone LF each end a line.
    lineStart = lineEnd + (lineEnd + 1 < size && text[lineEnd] == '\r' && text[lineEnd + 1] == '\n'
                               ? 2
                               : 1);
  };

  // The CRs and LFs of each block of 64 bytes as the bits of one number,
  // taken lowest first: one pass over the text, no search per line. The LF
  // of a CR LF pair lies before the next line's start and is passed over.
  // Screening rewrites only the line just ended, whose bytes lie behind.
  for (std::size_t block = 0; block < size; block += 64) {
    for (std::uint64_t ends = LineEndBits(text + block, std::min<std::size_t>(64, size - block));
         ends != 0; ends &= ends - 1) {
      const std::size_t lineEnd = block + static_cast<std::size_t>(std::countr_zero(ends));
      if (lineEnd >= lineStart) endLine(lineEnd);
    }
  }
  // A last line without a line end; a line end at the very end adds none.
  if (lineStart < size) endLine(size);
}

void Convert::ScreenLine() {
  const std::string_view line = Line(CurLine);
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

std::string_view Convert::LongLine(const LineRange& range) const {
  // The line's own bytes hold no CR or LF, and a long header line that
  // ConvertWideSpaces shortened ends with an LF it put there.
  const char* const begin = LogText.data() + range.begin;
  const char* const end = LogText.data() + LogText.size();
  return std::string_view(begin,
                          static_cast<std::size_t>(FindLineEnd(begin + kLongLine, end) - begin));
}

void Convert::ConvertWideSpaces() {
  LineRange& range = LogLines[CurLine];
  char* bytes = LogText.data() + range.begin;
  const std::string_view line = Line(CurLine);
  // Most header lines hold no full-width space at all; a byte pair 81 40
  // is looked for first (it may also be the end of another character, so
  // only the walk below decides).
  if (line.find("\x81\x40") == std::string_view::npos) return;
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
  range.size = std::min(write, kLongLine);
  // A long line that got shorter ends where LongLine looks for its end.
  if (write >= kLongLine && write < line.size()) bytes[write] = '\n';
}

}  // namespace tav
