// Character columns, code page 932 conversions and number reading.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/columns.h"
#include "global/number_text.h"
#include "platform/cp932.h"
#include "support/temp_dir.h"

namespace tav {
namespace {

using test::Sjis;

TEST(Columns, DoubleByteCharactersAreOneColumnAndInvalidBytesStandAlone) {
  // "ア" (two bytes), "ソ" (0x83 0x5C: its trail byte is "\"), a lone lead
  // byte followed by "/", and a lead byte at the very end.
  const std::string line = Sjis("アソ") + "\x81/" + "A\x82";
  Columns columns;
  columns.Assign(line);
  ASSERT_EQ(columns.Count(), 6);
  EXPECT_EQ(columns.At(1), Sjis("ア"));
  EXPECT_EQ(columns.At(2), "\x83\x5C");
  EXPECT_EQ(columns.At(3), "\x81");
  EXPECT_TRUE(columns.IsAscii(4, '/'));
  EXPECT_FALSE(columns.IsAscii(2, '\\'));  // the trail byte is not a "\" character
  EXPECT_EQ(columns.At(6), "\x82");
  EXPECT_EQ(columns.At(0), "");
  EXPECT_EQ(columns.At(7), "");
  EXPECT_FALSE(columns.IsSpace(7));             // past the end is not a space
  EXPECT_EQ(columns.Mid(-1, 4), Sjis("アソ"));  // columns before 1 are left out
  EXPECT_EQ(columns.Mid(5, 8), "A\x82");
  EXPECT_EQ(columns.From(4), "/A\x82");
}

TEST(Cp932, DecodesStrictlyAndEncodesOnlyExactRoundTrips) {
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0"), "あ");
  EXPECT_EQ(Cp932ToUtf8("\x81\x40"), "\u3000");
  EXPECT_EQ(Cp932ToUtf8("\xB1"), "ｱ");       // half-width katakana
  EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");  // U+FF5E in code page 932, not U+301C
  for (const char* bad : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF", "\x82", "\x82\x20"}) {
    EXPECT_FALSE(Cp932ToUtf8(bad).has_value()) << static_cast<int>(bad[0] & 0xFF);
  }
  EXPECT_EQ(Utf8ToCp932("C:\\ログ"), "C:\\\x83\x8D\x83\x4F");
  EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80").has_value());  // an emoji
  EXPECT_FALSE(Utf8ToCp932("\xC2\xA5").has_value());          // the yen sign has no code
  EXPECT_FALSE(Utf8ToCp932("\xFF").has_value());              // not UTF-8
}

TEST(Cp932, DisplayShowsUnmappedBytesAndControlsInHex) {
  EXPECT_EQ(Cp932ForDisplay(Sjis("0一") + "\x80\t\xFF\x82"), "0一<80><09><FF><82>");
}

TEST(NumberText, ReadsTheLeadingNumberAndRoundsHalfToEven) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"5", 5},      {"5 and more", 5}, {"  \t7", 7}, {"", 0},       {"abc", 0},
      {"2.5", 2},    {"3.5", 4},        {"-2.5", -2}, {"+4", 4},     {"12x", 12},
      {"1e3", 1000}, {"1E+2x", 100},    {"2e", 2},    {"7.", 7},     {".5", 0},
      {"&H10", 0},   {"- 5", 0},        {"５", 0},    {"1e-400", 0}, {"0.5", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadLeadingNumber(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(ReadLeadingNumber("1e400")));
  EXPECT_EQ(ToInt16(32767), 32767);
  EXPECT_EQ(ToInt16(-32768), -32768);
  EXPECT_FALSE(ToInt16(32768).has_value());
  EXPECT_FALSE(ToInt16(ReadLeadingNumber("-1e400")).has_value());
}

}  // namespace
}  // namespace tav
