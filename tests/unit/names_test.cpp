// Output folder names, .eml file names and cutting file names.
#include <gtest/gtest.h>

#include "convert/eml_names.h"
#include "convert/folder_names.h"
#include "convert/rfc822_date.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace tav {
namespace {

using test::Sjis;

TEST(FolderNames, RefusesNamesThatLeaveTheFolderOrNameADevice) {
  for (const char* bad :
       {".", "..", "abc.", "ab ", "CON", "con", "Nul", "aux.log", "PRN.x.y", "COM1", "lpt9.txt",
        "com1.", "con .t", "NUL  .x", "COM\u00B9", "lpt\u00B2.log", "Com\u00B3 .x"}) {
    EXPECT_TRUE(IsUnsafeFolderName(PathFromUtf8(bad))) << bad;
  }
  for (const char* good : {"mai", ".ab", "a.b", "CONX", "COM0", "LPT10", "xcon", "ログ",
                           "COM\u2074", "LPT\u00B9\u00B9", "COM\u00BC"}) {
    EXPECT_FALSE(IsUnsafeFolderName(PathFromUtf8(good))) << good;
  }
}

TEST(EmlNames, NumbersThatCannotStandAsFileNamesAreRefused) {
  EXPECT_EQ(EmlFileName("00123"), PathFromUtf8("00123.eml"));
  EXPECT_EQ(EmlFileName(Sjis("０１ソ")), PathFromUtf8("０１ソ.eml"));  // "ソ" ends in 0x5C
  EXPECT_EQ(EmlFileName("  .  "), PathFromUtf8("  .  .eml"));
  for (const std::string& bad : std::vector<std::string>{
           "001/0", "00\\01", "a:b", "a*", "a?", "a\"", "a<", "a>", "a|", std::string("a\0b", 3),
           "a\tb", "a\x7F", "a\x80", "a\xA0", "a\xFD", "0000\x82", "\x85\x40", "0\x81\xAD"}) {
    EXPECT_FALSE(EmlFileName(bad).has_value()) << Cp932ForDisplay(bad);
  }
}

TEST(LeadingChars, CutsBetweenCharactersNeverInsideOne) {
  EXPECT_EQ(LeadingChars(PathFromUtf8("mail0412.log"), 3), PathFromUtf8("mai"));
  EXPECT_EQ(LeadingChars(PathFromUtf8("ab"), 9), PathFromUtf8("ab"));
  EXPECT_EQ(LeadingChars(PathFromUtf8("ログ01.log"), 2), PathFromUtf8("ログ"));
  EXPECT_EQ(LeadingChars(PathFromUtf8("a\xF0\x9F\x98\x80z.log"), 2),
            PathFromUtf8("a\xF0\x9F\x98\x80"));  // an emoji is one character
}

TEST(LeadingChars, CountsTheComposedFormUnlessTheNameIsNoText) {
  // "ガイド0412.log" as Mac volumes store it; か with a handakuten has no
  // composed form, and half-width kana keep theirs (no compatibility mapping).
  EXPECT_EQ(LeadingChars(PathFromUtf8("\u30AB\u3099\u30A4\u30C8\u3099" "0412.log"), 3),
            PathFromUtf8("ガイド"));
  EXPECT_EQ(LeadingChars(PathFromUtf8("\u304B\u309A.log"), 1), PathFromUtf8("\u304B"));
  EXPECT_EQ(LeadingChars(PathFromUtf8("ｶﾞｲﾄﾞ.log"), 2), PathFromUtf8("ｶﾞ"));
#ifdef _WIN32  // not valid text: cut as it stands
  const std::wstring broken = {0xD800, 0x30AB, 0x3099};
  EXPECT_EQ(LeadingChars(broken, 2), std::filesystem::path(broken.substr(0, 2)));
#else
  EXPECT_EQ(LeadingChars(PathFromUtf8("\xFF\u30AB\u3099"), 2), PathFromUtf8("\xFF\u30AB"));
#endif
}

TEST(Rfc822Date, WritesRealDatesAndRefusesTheRest) {
  EXPECT_EQ(Rfc822Date("99", "12", "04"), "4 Dec 1999");
  EXPECT_EQ(Rfc822Date("00", "04", "13"), "13 Apr 2000");
  EXPECT_EQ(Rfc822Date("29", "01", "31"), "31 Jan 2029");
  EXPECT_EQ(Rfc822Date("30", "01", "01"), "1 Jan 1930");
  EXPECT_EQ(Rfc822Date(" 9", "2 ", " 4"), "4 Feb 2009");
  EXPECT_EQ(Rfc822Date("00", "02", "29"), "29 Feb 2000");
  EXPECT_EQ(Rfc822Date("99", "12", "4"), "4 Dec 1999");  // the line ended early
  EXPECT_EQ(Rfc822Date("01", "02", "29"), "");
  EXPECT_EQ(Rfc822Date("99", "13", "01"), "");
  EXPECT_EQ(Rfc822Date("99", "00", "01"), "");
  EXPECT_EQ(Rfc822Date("99", "04", "31"), "");
  EXPECT_EQ(Rfc822Date("9x", "04", "01"), "");
  EXPECT_EQ(Rfc822Date("99", "04", ""), "");
  EXPECT_EQ(Rfc822Date("99", "  ", "01"), "");
  EXPECT_EQ(Rfc822Date(Sjis("９９"), "04", "01"), "");
}

}  // namespace
}  // namespace tav
