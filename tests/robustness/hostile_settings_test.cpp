// tav.ini files made to hurt: NUL bytes, a 10 MB line, millions of empty
// lines. Whatever the file holds, reading it, writing it and reading it
// again give the same values.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "disk.h"
#include "global/number_text.h"
#include "platform/paths.h"
#include "settings_check.h"
#include "support/disk_fixture.h"

namespace tav {
namespace {

using namespace std::string_literals;
using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kMiB = 1024 * 1024;
// A line of 10 MB; 2 MB in the slower sanitizer build.
constexpr std::size_t kLongLine = (test::kSanitized ? 2 : 10) * kMiB;

class HostileSettings : public test::DiskFixture {
 protected:
  void SetUp() override {
    g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
    g.SettingsPath = dir / "tav.ini";
  }
  // Checks that `bytes` read as tav.ini, written and read again give the
  // same values, then reads them into `g` for the test to look at.
  void ReadWriteRead(const std::string& bytes) {
    for (const std::string& finding : fuzz::RoundTripSettingsAndCheck(bytes)) {
      ADD_FAILURE() << finding;
    }
    WriteFile(g.SettingsPath, bytes);
    g.ReadSettings();
  }
};

TEST_F(HostileSettings, NulBytesAreValueCharactersLikeAnyOther) {
  ReadWriteRead(
      "[DefaultDir]=C:\\a\0b\r\n[DirName]=\0"
      "5\r\n[Editor]=\0\r\n"s);
  EXPECT_EQ(g.DefaultDir, "C:\\a\0b"s);
  EXPECT_EQ(g.DirNameLen, 0);  // a NUL is not a blank: no number
  EXPECT_EQ(g.EditorCommand, "\0"s);
  ASSERT_TRUE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), "[DefaultDir]=C:\\a\0b\r\n[DirName]=0\r\n[Editor]=\0\r\n"s);
}

TEST_F(HostileSettings, TenMegabyteLinesAreKeptWhole) {
  const std::string path(kLongLine, 'p');
  const std::string digits(kLongLine, '9');
  ReadWriteRead("[DefaultDir]=" + path + "\r\n[DirName]=" + digits + "\r\n[Editor]=" + path +
                "\r\n");
  EXPECT_EQ(g.DefaultDir, path);
  EXPECT_EQ(g.DirNameLen, 0);  // far outside the 16-bit range
  EXPECT_EQ(g.EditorCommand, path);

  // A number with ten million leading zeros is still a small number.
  ReadWriteRead("x\r\n[DirName]=" + std::string(kLongLine, '0') + "7.5\r\n");
  EXPECT_EQ(g.DirNameLen, 8);
}

TEST_F(HostileSettings, MissingLinesReadAsEmptyAndTheWriteRestoresThem) {
  for (const std::string& text : {""s, "\r\n"s, "\r\n\r\n"s, "[DefaultDir]=a\r\n[DirName]=4"s}) {
    ReadWriteRead(text);
    EXPECT_EQ(g.EditorCommand, "") << text;
    ASSERT_TRUE(g.WriteSettings());
    const std::string written = ReadFile(g.SettingsPath);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3) << text;
  }
}

TEST_F(HostileSettings, MillionsOfLinesCostNoMoreThanTheFile) {
  // Only the first four lines mean anything; the rest must not be indexed.
  std::string text = "[DefaultDir]=a\r\n[DirName]=6\r\n[Editor]=b\r\n";
  text.append(32 * kMiB, '\n');
  WriteFile(g.SettingsPath, text);
  text.clear();
  text.shrink_to_fit();
  const std::size_t before = test::PeakMemory();
  g.ReadSettings();
  EXPECT_LT(test::PeakMemory() - before, 3 * 32 * kMiB);
  EXPECT_EQ(g.DefaultDir, "a");
  EXPECT_EQ(g.DirNameLen, 6);
  EXPECT_EQ(g.EditorCommand, "b");
}

TEST_F(HostileSettings, FileLargerThanTheMemoryGivesTheResetValues) {
  if (test::kSanitized) GTEST_SKIP() << "the sanitizer's operator new never throws std::bad_alloc";
  WriteFile(g.SettingsPath, "[DefaultDir]=a\r\n");
  std::filesystem::resize_file(g.SettingsPath, std::uintmax_t{1} << 40);
  g.ReadSettings();
  EXPECT_EQ(g.DefaultDir, "C:\\WINDOWS");
  EXPECT_EQ(g.DirNameLen, 3);
  EXPECT_EQ(std::filesystem::file_size(g.SettingsPath), std::uintmax_t{1} << 40);  // not rewritten
}

TEST_F(HostileSettings, BytesThatAreNotCodePage932AndBrokenCharactersRoundTrip) {
  // Positions count characters: a lone lead byte is one, a lead byte with
  // whatever trail byte follows it is one.
  ReadWriteRead(
      "[DefaultDir]\x82=x\x80\xFF\r\n[DirName]\x82\x40"
      "7\r\n[Editor]\x82\x82\r\n");
  EXPECT_EQ(g.DefaultDir, "=x\x80\xFF");
  EXPECT_EQ(g.DirNameLen, 7);
  EXPECT_EQ(g.EditorCommand, "");
}

TEST(HostileNumbers, NumbersBeyondTheDoubleRangeAreHugeOrZeroByTheirSize) {
  const double infinity = std::numeric_limits<double>::infinity();
  const std::string zeros(400, '0');
  EXPECT_EQ(ReadLeadingNumber("1e400"), infinity);
  EXPECT_EQ(ReadLeadingNumber("-1e400"), -infinity);
  EXPECT_EQ(ReadLeadingNumber("1e-400"), 0);
  EXPECT_EQ(ReadLeadingNumber("1e99999999999999999999999"), infinity);
  // The written exponent alone does not tell: the digits count too.
  EXPECT_EQ(ReadLeadingNumber("0." + zeros + "1"), 0);
  EXPECT_EQ(ReadLeadingNumber("-0." + zeros + "1 and text"), 0);
  EXPECT_EQ(ReadLeadingNumber("1" + zeros + "e-50"), infinity);
  EXPECT_EQ(ReadLeadingNumber("0.0" + zeros + "5e+401"), 0);  // 0.5, rounded to even
  EXPECT_EQ(ReadLeadingNumber(zeros + "7"), 7);
}

}  // namespace
}  // namespace tav
