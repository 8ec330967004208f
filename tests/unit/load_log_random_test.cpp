// Loading and screening compared with a plain, character-by-character
// reading of the same rules, over many random texts: line ends at every
// offset of the blocks that loading searches at once, double-byte and lone
// lead bytes around the header columns, full-width spaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "convert/loaded_log.h"
#include "fake_file_system.h"
#include "platform/cp932.h"

namespace tav {
namespace {

struct Loaded {
  std::vector<std::string> lines;
  std::vector<int> flags;
  int width = 0;

  bool operator==(const Loaded&) const = default;
};

// The rules read plainly: split at CR LF, CR or LF; a header line has 13
// characters or more, with "/" at 4 and digits at 1, 3, 7 (width 3), or "/"
// at 6, no space at 9 and digits at 1, 4, 11 (width 5); its full-width
// spaces become spaces.
Loaded Reference(const std::string& text) {
  Loaded out;
  std::vector<std::string> raw;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      raw.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) raw.push_back(line);

  for (const std::string& candidate : raw) {
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < candidate.size();) {
      const std::size_t size = CharSizeAt(candidate, i);
      chars.push_back(candidate.substr(i, size));
      i += size;
    }
    auto is = [&](std::size_t column, char c) { return chars[column - 1] == std::string(1, c); };
    auto digit = [&](std::size_t column) {
      return chars[column - 1].size() == 1 && chars[column - 1][0] >= '0' &&
             chars[column - 1][0] <= '9';
    };
    int width = 0;
    if (chars.size() >= 13) {
      if (is(4, '/') && digit(1) && digit(3) && digit(7)) width = 3;
      if (is(6, '/') && !is(9, ' ') && digit(1) && digit(4) && digit(11)) width = 5;
    }
    std::string stored;
    for (const std::string& c : chars) stored += width != 0 && c == "\x81\x40" ? " " : c;
    out.lines.push_back(stored);
    out.flags.push_back(width != 0 ? 1 : 0);
    if (width != 0) out.width = width;
  }
  return out;
}

Loaded Load(const std::string& text) {
  test::FakeFileSystem files;
  files.AddFile("/random.log", text);
  LoadedLog convert;
  convert.LoadLog(files, "/random.log");

  Loaded out;
  for (std::size_t k = 1; k < convert.EndLine(); ++k) {
    out.lines.emplace_back(convert.ScreenedLine(k));
    out.flags.push_back(convert.IsHeaderShaped(k) ? 1 : 0);
  }
  out.width = convert.HeaderWidth();
  return out;
}

// Random text made mostly of header-like pieces, so that both shapes, near
// misses and every kind of character turn up around the tested columns.
std::string RandomText(std::uint64_t seed) {
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  auto next = [&](std::uint64_t n) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state % n;
  };
  static const std::vector<std::string> pieces = {"0",
                                                  "1",
                                                  "9",
                                                  "/",
                                                  " ",
                                                  "  ",
                                                  "\x81\x40",
                                                  "\x82\xA0",
                                                  "\x81",
                                                  "\x82\xD6",
                                                  "a",
                                                  "ABC12345",
                                                  "\t",
                                                  "\xFF",
                                                  "\x80",
                                                  ":",
                                                  "\r",
                                                  "\n",
                                                  "\r\n",
                                                  "001/003  ",
                                                  "00231/00234  ",
                                                  "\x81\x40\x81\x40",
                                                  "\x88\x81\x40" /* a trail byte 81 before 40 */};
  std::string text;
  const std::uint64_t pieceCount = 20 + next(400);
  for (std::uint64_t i = 0; i < pieceCount; ++i) {
    text += pieces[next(pieces.size())];
    // Long plain runs put line ends at every offset of a search block.
    if (next(10) == 0) {
      const std::uint64_t run = next(40);
      text += std::string(run, next(2) == 0 ? 'x' : '5');
    }
  }
  return text;
}

TEST(LoadLogRandom, AgreesWithAPlainReadingOfTheRules) {
  for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
    const std::string text = RandomText(seed);
    const Loaded expected = Reference(text);
    const Loaded loaded = Load(text);
    ASSERT_EQ(loaded.lines, expected.lines) << "seed " << seed;
    ASSERT_EQ(loaded.flags, expected.flags) << "seed " << seed;
    ASSERT_EQ(loaded.width, expected.width) << "seed " << seed;
  }
}

TEST(LoadLogRandom, FindsLineEndsAtEveryOffsetOfALongLine) {
  for (std::size_t length = 0; length < 80; ++length) {
    for (const std::string end : {"\r", "\n", "\r\n"}) {
      const std::string text =
          std::string(length, 'x') + end + "y" + end + std::string(length, 'z');
      const Loaded loaded = Load(text);
      std::vector<std::string> expected = {std::string(length, 'x'), "y"};
      if (length > 0) expected.push_back(std::string(length, 'z'));
      ASSERT_EQ(loaded.lines, expected) << length;
    }
  }
}

}  // namespace
}  // namespace tav
