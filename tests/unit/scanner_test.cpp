// Cutting logs into messages and writing them as .eml files.
#include <gtest/gtest.h>

#include "convert/eml_writer.h"
#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

class Scanner : public test::LogFixture {
 protected:
  const LogResult& ConvertFile(std::string_view name) {
    return converter.ConvertLog({dir.path(), PathFromUtf8(name), 3}, writer, hooks);
  }
  void Convert(std::string_view name, const std::vector<std::string>& lines) {
    WriteLog(name, lines);
    EXPECT_EQ(ConvertFile(name).outcome, LogOutcome::Converted);
  }
  std::vector<std::string> Written(std::string_view folder) const {
    return files.Names(dir / folder);
  }

  LogConverter converter{files};
  EmlFolderWriter writer{files, MailForm::Raw};
  LogHooks hooks;
};

TEST_F(Scanner, WritesEachMessageWithItsExactBytes) {
  Convert("mail.log", {
                          "ATZ",
                          "OK",
                          "001/003  MNG02345  佐藤 一郎     週末の　オフ会",
                          "00/04/10 21:47",
                          "本文1 ",
                          "　全角スペースの行",
                          "",
                          "002/003  TKY30771  たけし        件名",
                          "00/04/11 08:12  001へのコメント",
                          "> 引用",
                      });
  EXPECT_EQ(Written("mai"), (std::vector<std::string>{"00001.eml", "00002.eml"}));
  EXPECT_EQ(Eml("mai", "00001"),
            "From: 佐藤 一郎 <MNG02345@tav.example.jp>\r\n"
            "Subject: 週末のオフ会\r\n"
            "Date: 10 Apr 2000 21:47:00 +0900\r\n"
            "Message-Id: <00001>\r\n"
            "References: <>\r\n"
            "\r\n"
            "本文1 \r\n"
            "　全角スペースの行\r\n"
            "\r\n"
            "\r\n");
  // The file's last line is the last body line.
  EXPECT_EQ(Eml("mai", "00002"),
            "From: たけし  <TKY30771@tav.example.jp>\r\n"
            "Subject: 件名\r\n"
            "Date: 11 Apr 2000 08:12:00 +0900\r\n"
            "Message-Id: <00002>\r\n"
            "References: <00001>\r\n"
            "\r\n"
            "> 引用\r\n"
            "\r\n");
}

TEST_F(Scanner, EmptyFieldsAreWrittenAsTheyStand) {
  Convert("a.log", {"001/003      ", "no date: a/b", "body"});
  EXPECT_EQ(Eml("a.l", "00001"),
            "From:  <@tav.example.jp>\r\n"
            "Subject: \r\n"
            "Date:  :00 +0900\r\n"
            "Message-Id: <00001>\r\n"
            "References: <>\r\n"
            "\r\n"
            "body\r\n"
            "\r\n");
}

TEST_F(Scanner, HeaderWithoutAColonAndSlashAfterItIsABodyLine) {
  Convert("a.log", {
                       "before the first message",
                       "002/003  UNCONF01  no date after this line",
                       "plain line",
                       "001/003  MNG02345  Taro     First",
                       "00/04/10 21:47",
                       "002/003  UNCONF02　wide　space",
                       "no colon or slash here",
                   });
  EXPECT_EQ(Written("a.l"), (std::vector<std::string>{"00001.eml"}));
  const std::string eml = Eml("a.l", "00001");
  // Screening already turned the unconfirmed header line's wide spaces.
  EXPECT_NE(eml.find("\r\n\r\n002/003  UNCONF02 wide space\r\nno colon or slash here\r\n\r\n"),
            std::string::npos)
      << eml;
  EXPECT_EQ(eml.find("before the first message"), std::string::npos);
}

TEST_F(Scanner, HeaderFollowedByTheNextHeaderHasAnEmptyBody) {
  Convert("a.log", {
                       "001/003  MNG02345  Taro     First",
                       "00/04/10 21:47",
                       "002/003  MNG02345  Taro     Second",
                       "00/04/10 21:48",
                       "body",
                   });
  EXPECT_TRUE(Eml("a.l", "00001").ends_with("References: <>\r\n\r\n\r\n"));
  EXPECT_TRUE(Eml("a.l", "00002").ends_with("References: <>\r\n\r\nbody\r\n\r\n"));
}

TEST_F(Scanner, ListingLinesFollowingEachOtherAreReadAsHeaderAndDateLine) {
  // In a title listing every header line is followed by another, which holds
  // a ":" and a "/": it becomes the first one's date line, no message itself.
  Convert("a.log", {
                       "00231/00234  HBB12345  Yamada  Shin    Re: one",
                       "00232/00234  KTX00731  Naka    Re: two",
                       "00233/00234  OSK40012  Sonota  Q: three",
                       "00/04/12 01:30",
                       "body",
                   });
  EXPECT_EQ(Written("a.l"), (std::vector<std::string>{"00231.eml", "00233.eml"}));
  EXPECT_TRUE(Eml("a.l", "00231").ends_with("References: <>\r\n\r\n\r\n"));
}

TEST_F(Scanner, ALaterMessageOfTheSameNumberReplacesTheEarlierFile) {
  Convert("a.log", {
                       "00090/00090  HBC55120  Kuma    first reading",
                       "2000/04/13 01:15  00089へ",
                       "old body",
                       "00090/00090  HBC55120  Kuma    second reading",
                       "2000/04/13 01:15  00089へ",
                       "new body",
                   });
  EXPECT_EQ(Written("a.l"), (std::vector<std::string>{"00090.eml"}));
  EXPECT_NE(Eml("a.l", "00090").find("new body"), std::string::npos);
  EXPECT_EQ(Eml("a.l", "00090").find("old body"), std::string::npos);
}

TEST_F(Scanner, ALineReadingEofIsAnOrdinaryBodyLine) {
  Convert("a.log", {"00001/00002  ID000001  Name    Sub", "00/01/01 00:00", "eof", "after",
                    "00002/00002  ID000001  Name    Sub2", "00/01/01 00:00", "last"});
  EXPECT_TRUE(Eml("a.l", "00001").ends_with("\r\n\r\neof\r\nafter\r\n\r\n"));
  EXPECT_TRUE(Eml("a.l", "00002").ends_with("\r\n\r\nlast\r\n\r\n"));
}

TEST_F(Scanner, BytesOutsideCodePage932AreCopiedAsTheyAre) {
  using namespace std::string_literals;
  WriteFile(dir / "a.log",
            "001/003  ID\x80\xFF\xFD\xA0"
            "ab  N\xA0me   S\x82\r\n00/01/01 00:00\r\n\x80\0\xFD\r\n"s);
  ConvertFile("a.log");
  const std::string eml = ReadFile(dir / "a.l" / "00001.eml");
  EXPECT_TRUE(
      eml.starts_with("From: N\xA0me  <ID\x80\xFF\xFD\xA0"
                      "ab@tav.example.jp>\r\nSubject: S\x82\r\n"))
      << eml;
  EXPECT_TRUE(eml.ends_with("\r\n\r\n\x80\0\xFD\r\n\r\n"s));
}

TEST_F(Scanner, NumbersThatCannotBeFileNamesAreListedOnceAndTheRestWritten) {
  WriteLog("a.log", {
                        "001/003  ID000001  Taro     One",
                        "00/01/01 00:00",
                        "001/003  ID000001  Taro     One again",
                        "00/01/01 00:00",
                        "00002/00003  ID000002  Jiro     Two",
                        "00/01/01 00:00",
                    });
  // Read with width 5 (the last header line's), the first number is "001/0".
  const LogResult& result = ConvertFile("a.log");
  EXPECT_EQ(Written("a.l"), (std::vector<std::string>{"00002.eml"}));
  EXPECT_EQ(result.written, 1u);
  EXPECT_EQ(result.badNumbers, (std::vector<std::string>{"001/0"}));
}

TEST_F(Scanner, AFailedWriteSkipsTheRestOfTheLogAndNamesTheFile) {
  WriteLog("a.log", {"001/003  ID000001  Taro     One", "00/01/01 00:00",
                     "002/003  ID000002  Jiro     Two", "00/01/01 00:00",
                     "003/003  ID000003  Sabu     Three", "00/01/01 00:00"});
  files.failWrite = [this](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path == dir / "a.l" / "00002.eml") return "Disk quota exceeded";
    return std::nullopt;
  };
  const LogResult& result = ConvertFile("a.log");
  EXPECT_EQ(result.outcome, LogOutcome::WriteFailed);
  EXPECT_EQ(result.failedFile, dir / "a.l" / "00002.eml");
  EXPECT_EQ(result.reason, "Disk quota exceeded");
  EXPECT_EQ(result.written, 1u);
  EXPECT_EQ(Written("a.l"), (std::vector<std::string>{"00001.eml"}));
}

}  // namespace
}  // namespace tav
