// Loading a log into lines and screening them for header lines.
#include <gtest/gtest.h>

#include "support/log_fixture.h"

namespace tav {
namespace {

using test::Sjis;

class LoadLog : public test::LogFixture {
 protected:
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (std::size_t k = 1; k < log.EndLine(); ++k) lines.emplace_back(log.Line(k));
    return lines;
  }
  std::vector<int> Flags() const {
    std::vector<int> flags;
    for (std::size_t k = 1; k < log.EndLine(); ++k) flags.push_back(log.IsHeaderShaped(k));
    return flags;
  }
};

TEST_F(LoadLog, EveryKindOfLineEndSplitsAndEveryLineIsKept) {
  WriteFile(dir / "a.log", "one\r\ntwo\rthree\nfour\n\r\n\nlast");
  Load("a.log");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "two", "three", "four", "", "", "last"}));
}

TEST_F(LoadLog, ALineEndAtTheEndAddsNoLineAndEofIsAnOrdinaryLine) {
  WriteFile(dir / "a.log", "eof\r\nx\r\n");
  Load("a.log");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"eof", "x"}));
}

TEST_F(LoadLog, AnEmptyFileHasNoLineAndNoHeaderLine) {
  WriteFile(dir / "empty.log", "");
  Load("empty.log");
  EXPECT_EQ(log.HeaderWidth(), 0);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(log.EndLine(), 1u);
}

TEST_F(LoadLog, HeaderShapesNeedThirteenCharactersAndTheirDigitsAndSlash) {
  WriteLog("a.log", {
                        "001/003  ABC",      // 12 characters: no
                        "001/003  ABCD",     // 13: width 3
                        "0a1/bc3xxxxxx",     // only characters 1, 3, 4 and 7 count
                        "１01/003  ABCDE",   // full-width digit first: no
                        "00001/00003 x",     // width 5
                        "00001/00 03 xx",    // ASCII space at character 9: no
                        "00001/00　03 xx",   // full-width space there: yes
                        "00001/0000a xx",    // character 11 not a digit: no
                        "あ01/003  ABCDEF",  // a double-byte first character: no
                    });
  Load("a.log");
  EXPECT_EQ(Flags(), (std::vector<int>{0, 1, 1, 0, 1, 0, 1, 0, 0}));
  EXPECT_EQ(log.HeaderWidth(), 5);  // the last header line found
}

TEST_F(LoadLog, ColumnsCountDoubleByteCharactersOnce) {
  WriteLog("a.log", {"0あ1/いう3xxxxxx", "0あ1/いう3xxxxx"});
  Load("a.log");
  EXPECT_EQ(Flags(), (std::vector<int>{1, 0}));
  EXPECT_EQ(log.HeaderWidth(), 3);
}

TEST_F(LoadLog, WideSpacesReadAsAsciiInHeaderLinesOnlyAndTheLogStaysAsRead) {
  WriteLog("a.log", {"001/003　ABC　山田　　件名", "本文　です"});
  Load("a.log");
  EXPECT_EQ(log.ScreenedLine(1), Sjis("001/003 ABC 山田  件名"));
  EXPECT_EQ(log.ScreenedLine(2), Sjis("本文　です"));
  EXPECT_EQ(log.Line(1), Sjis("001/003　ABC　山田　　件名"));
}

TEST_F(LoadLog, OnlyWholeWideSpaceCharactersAreReplaced) {
  // 0x88 0x81 is one character; the 0x40 after it is "@", so the bytes
  // 0x81 0x40 here are no full-width space.
  WriteFile(dir / "a.log", "001/003 \x88\x81\x40 \x81\x40x\r\n");
  Load("a.log");
  EXPECT_EQ(log.ScreenedLine(1), "001/003 \x88\x81\x40  x");
}

TEST_F(LoadLog, WidthThreeLinesThenOneWidthFiveLine) {
  WriteLog("a.log", {"001/003  AAAAA", "002/003  AAAAA", "00003/00003  AAAAAA"});
  Load("a.log");
  EXPECT_EQ(log.HeaderWidth(), 5);
}

TEST_F(LoadLog, LoneLeadBytesAndNulBytesAreKept) {
  WriteFile(dir / "a.log", std::string("001/003  AAAAA\x82\r\nx\0y\x81\r\n", 23));
  Load("a.log");
  EXPECT_EQ(log.Line(1), "001/003  AAAAA\x82");
  EXPECT_EQ(log.Line(2), std::string("x\0y\x81", 4));
  EXPECT_EQ(log.HeaderWidth(), 3);
}

TEST_F(LoadLog, AReleasedLogIsAnEmptyLogWithEveryEntryWritten) {
  WriteLog("a.log", {"001/003  ABC  x", "00/04/10 21:47", "body"});
  Load("a.log");
  log.Release();  // what a log too large for the memory leaves
  EXPECT_EQ(log.EndLine(), 1u);
  EXPECT_EQ(log.HeaderWidth(), 0);
  for (std::size_t k = 0; k <= 2; ++k) EXPECT_EQ(log.Kind(k), LineKind::Other);
  EXPECT_EQ(log.Line(0), "");
}

}  // namespace
}  // namespace tav
