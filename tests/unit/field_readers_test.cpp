// The field readers on single header and date lines.
#include <gtest/gtest.h>

#include "convert/field_readers.h"
#include "support/temp_dir.h"

namespace tav {
namespace {

using test::Sjis;

class FieldReaders : public ::testing::Test {
 protected:
  // Reads `utf8` (converted to code page 932) as a header or a date line.
  void ReadHeader(std::string_view utf8, int width) { fields = ReadHeaderFields(Sjis(utf8), width); }
  void ReadDate(std::string_view utf8, int width) { fields = ReadDateFields(Sjis(utf8), width); }

  MessageFields fields;
};

TEST_F(FieldReaders, MessageNumberIsPaddedToFiveCharacters) {
  ReadHeader("001/003  MNG02345  佐藤 一郎     件名", 3);
  EXPECT_EQ(fields.MsgNo, "00001");
  ReadHeader("00123/00125  MNG02345  佐藤 一郎     件名", 5);
  EXPECT_EQ(fields.MsgNo, "00123");
  // A width-3 line read with the width 5 of the log's last header line.
  ReadHeader("001/003  MNG02345  佐藤 一郎     件名", 5);
  EXPECT_EQ(fields.MsgNo, "001/0");
}

TEST_F(FieldReaders, TwoWordNamesTakeTheirSecondWord) {
  ReadHeader("00231/00234  HBB12345  山本 真一     プリンタが 認識されない", 5);
  EXPECT_EQ(fields.SenderId, "HBB12345");
  EXPECT_EQ(fields.SenderName, Sjis("山本 真一"));
  EXPECT_EQ(fields.Subject, Sjis("プリンタが認識されない"));

  ReadHeader("003/003  SAB11802  鈴木 由美子   Re: 週末のオフ会", 3);
  EXPECT_EQ(fields.SenderName, Sjis("鈴木 由美子"));
  EXPECT_EQ(fields.Subject, Sjis("Re:週末のオフ会"));
}

TEST_F(FieldReaders, OneWordNameKeepsItsSpaceAndTheSubjectLosesAllSpaces) {
  ReadHeader("002/003  TKY30771  たけし        モデムの 設定 、ありがとう", 3);
  EXPECT_EQ(fields.SenderName, Sjis("たけし "));
  EXPECT_EQ(fields.Subject, Sjis("モデムの設定、ありがとう"));

  ReadHeader("002/003  TKY30771  Name   a b  c", 3);
  EXPECT_EQ(fields.SenderName, "Name ");
  EXPECT_EQ(fields.Subject, "abc");
}

TEST_F(FieldReaders, ShortWordSoonAfterTheNameIsTakenIntoTheName) {
  // The word two columns after the name's space is read as part of the name,
  // with whatever stood between (the reader's long-standing behaviour).
  ReadHeader("002/003  TKY30771  Name  a b c", 3);
  EXPECT_EQ(fields.SenderName, "Name  a ");
  EXPECT_EQ(fields.Subject, "c");
}

TEST_F(FieldReaders, LineEndingRightAfterAOneWordName) {
  ReadHeader("001/003  MNG02345  ABC", 3);
  EXPECT_EQ(fields.SenderId, "MNG02345");
  EXPECT_EQ(fields.SenderName, "");
  EXPECT_EQ(fields.Subject, "ABC");
}

TEST_F(FieldReaders, ShortLineWithOnlySpacesAfterTheNumbers) {
  ReadHeader("001/003      ", 3);
  EXPECT_EQ(fields.SenderId, "");
  EXPECT_EQ(fields.SenderName, "");
  EXPECT_EQ(fields.Subject, "");
}

TEST_F(FieldReaders, SevenCharacterIdKeepsTheSpaceAfterIt) {
  ReadHeader("001/003  ABC1234  佐藤 一郎  件名", 3);
  EXPECT_EQ(fields.SenderId, "ABC1234 ");
  EXPECT_EQ(fields.SenderName, Sjis("佐藤 一郎"));
  EXPECT_EQ(fields.Subject, Sjis("件名"));
}

TEST_F(FieldReaders, NoIdBeforeColumn31MeansNoIdAndTheNameFromColumn31) {
  ReadHeader("001/003" + std::string(23, ' ') + "Taro  Subject here", 3);
  EXPECT_EQ(fields.SenderId, "");
  EXPECT_EQ(fields.SenderName, "Taro ");
  EXPECT_EQ(fields.Subject, "Subjecthere");
}

TEST_F(FieldReaders, OnlySpacesAfterTheId) {
  ReadHeader("00001/00003  ABCDEFGH       ", 5);
  EXPECT_EQ(fields.SenderId, "ABCDEFGH");
  EXPECT_EQ(fields.SenderName, " ");
  EXPECT_EQ(fields.Subject, "");
}

TEST_F(FieldReaders, DateTimeAndReplyNumber) {
  ReadDate("99/12/04 12:34  00120へのコメント", 5);
  EXPECT_EQ(fields.MsgDate, "4 Dec 1999");
  EXPECT_EQ(fields.MsgTime, "12:34");
  EXPECT_EQ(fields.RefNo, "00120");

  ReadDate("00/04/11 22:05  012へのコメント", 3);
  EXPECT_EQ(fields.MsgDate, "11 Apr 2000");
  EXPECT_EQ(fields.RefNo, "00012");

  ReadDate("2000/04/13 01:15  00089へのコメント", 5);
  EXPECT_EQ(fields.MsgDate, "13 Apr 2000");
  EXPECT_EQ(fields.MsgTime, "01:15");
  EXPECT_EQ(fields.RefNo, "00089");
}

TEST_F(FieldReaders, DateLinesWithoutADate) {
  ReadDate("ID : HBA01234 a/b", 5);
  EXPECT_EQ(fields.MsgDate, "");
  EXPECT_EQ(fields.MsgTime, "");
  EXPECT_EQ(fields.RefNo, "");

  // A reply marker before the date ends the scan there.
  ReadDate("012へ 99/12/04 12:34", 3);
  EXPECT_EQ(fields.RefNo, "00012");
  EXPECT_EQ(fields.MsgDate, "");
  EXPECT_EQ(fields.MsgTime, "");
}

TEST_F(FieldReaders, DatesThatAreNotDatesLeaveOnlyTheTime) {
  ReadDate("99/13/04 12:34", 5);
  EXPECT_EQ(fields.MsgDate, "");
  EXPECT_EQ(fields.MsgTime, "12:34");
  // A "/" in column 2 leaves no room for a year.
  ReadDate("1/23/45 12:34", 5);
  EXPECT_EQ(fields.MsgDate, "");
  EXPECT_EQ(fields.MsgTime, "12:34");
  // The time is taken as it stands, whatever it holds.
  ReadDate("99/12/04 あいうえお", 5);
  EXPECT_EQ(fields.MsgTime, Sjis("あいうえお"));
}

TEST_F(FieldReaders, ASecondDateReplacesTheFirst) {
  ReadDate("99/12/04 12:34 then 00/01/02 03:04", 5);
  EXPECT_EQ(fields.MsgDate, "2 Jan 2000");
  EXPECT_EQ(fields.MsgTime, "03:04");
}

TEST_F(FieldReaders, ReplyMarkerNearTheStartTakesWhatThereIs) {
  ReadDate("01へ", 3);
  EXPECT_EQ(fields.RefNo, "00001");
  ReadDate("へ", 5);
  EXPECT_EQ(fields.RefNo, "00000");
  ReadDate("ab12へ", 3);  // the characters are taken as they are, digits or not
  EXPECT_EQ(fields.RefNo, "00b12");
}

TEST_F(FieldReaders, ReplyMarkerIsFoundByCharacterNotByBytes) {
  // 0x82 0x82 is one character; the 0xD6 after it is a half-width katakana,
  // so the bytes 0x82 0xD6 inside them are no "へ".
  fields = ReadDateFields("123\x82\x82\xD6", 3);
  EXPECT_EQ(fields.RefNo, "");
}

TEST_F(FieldReaders, VeryLongHeaderLine) {
  const std::string subject(1 << 20, 'x');
  ReadHeader("00001/00003  ABCDEFGH  Taro    " + subject, 5);
  EXPECT_EQ(fields.SenderName, "Taro ");
  EXPECT_EQ(fields.Subject, subject);
}

}  // namespace
}  // namespace tav
