// The standard mail form of one message: header rules, folding limits,
// identifiers, transfer encodings and the count of replaced bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/header_folder.h"
#include "mail/mail_identifiers.h"
#include "mail/message_identity.h"
#include "mail/mime_message.h"
#include "platform/cp932.h"

namespace tav {
namespace {

std::string Sjis(const char* utf8) {
  return Utf8ToCp932(utf8).value();
}

// The fields of a record, with storage for its views.
struct Fields {
  std::string folder = "mai", number = "00001", id = "MNG02345", name = "Taro ", subject = "Hello",
              date = "4 Dec 1999", time = "12:34", ref, body = "line\r\n", dateText = "99/12/04";

  MessageRecord Record() const {
    return {folder, number, id, name, subject, date, time, ref, body, dateText};
  }
  // The message with the plain identifiers of its number and its parent's.
  std::string Build(std::size_t* replaced = nullptr) const {
    std::string out;
    const MessageRecord record = Record();
    const std::string messageId = PlainIdentifier(record), parentId = ParentKey(record),
                      digest = MessageDigest(record);
    const std::size_t count = MimeMessageBuilder().Append(record, {messageId, parentId, digest}, out);
    if (replaced != nullptr) *replaced = count;
    return out;
  }
};

std::vector<std::string> HeaderLines(const std::string& message) {
  std::vector<std::string> lines;
  const std::size_t end = message.find("\r\n\r\n");
  for (std::size_t pos = 0; pos < end + 2;) {
    const std::size_t next = message.find("\r\n", pos);
    lines.push_back(message.substr(pos, next - pos));
    pos = next + 2;
  }
  return lines;
}

// The value of a header field, unfolded; "(none)" when it is missing.
std::string Field(const std::string& message, const std::string& name) {
  std::string value = "(none)";
  for (const std::string& line : HeaderLines(message)) {
    if (line.rfind(name + ":", 0) == 0) {
      value = line.substr(name.size() + 1);
    } else if (line[0] == ' ' && value != "(none)") {
      value += line;
    } else if (value != "(none)") {
      break;
    }
  }
  return value.empty() || value[0] != ' ' ? value : value.substr(1);
}

std::string Base64Decode(const std::string& text) {
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0, count = 0;
  for (const char c : text) {
    if (c == '=') break;
    bits = bits << 6 | static_cast<unsigned>(digits.find(c));
    if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8) & 0xFF);
  }
  return out;
}

// True when `bytes` are UTF-8 characters with none cut short.
bool IsWholeUtf8(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead >= 0x80 && lead < 0xC0) return false;
    for (std::size_t k = 1; k < size; ++k) {
      if (i + k >= bytes.size() || (static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += size;
  }
  return true;
}

// A header value made of encoded words only, decoded; each word must be at
// most 75 characters and hold whole UTF-8 characters.
std::string DecodeWords(const std::string& value) {
  std::string text;
  for (std::size_t pos = 0; pos < value.size();) {
    if (value[pos] == ' ') {
      ++pos;
      continue;
    }
    const std::size_t end = value.find("?=", pos + 10) + 2;
    const std::string word = value.substr(pos, end - pos);
    EXPECT_LE(word.size(), 75u) << word;
    EXPECT_EQ(word.substr(0, 10), "=?UTF-8?B?") << word;
    const std::string bytes = Base64Decode(word.substr(10, word.size() - 12));
    EXPECT_TRUE(IsWholeUtf8(bytes)) << "a word ends inside a character: " << word;
    text += bytes;
    pos = end;
  }
  return text;
}

void ExpectLinesWithinLimit(const std::string& message) {
  for (const std::string& line : HeaderLines(message)) EXPECT_LE(line.size(), 78u) << line;
}

TEST(MimeSubject, PlainOnlyWhenPrintableAsciiThatFitsAndCannotBeReadAsAnEncodedWord) {
  Fields f;
  EXPECT_EQ(Field(f.Build(), "Subject"), "Hello");
  f.subject = std::string(69, 'x');  // "Subject: " and 69 characters: 78
  EXPECT_EQ(Field(f.Build(), "Subject"), f.subject);
  for (const std::string& encoded : {std::string(70, 'x'), std::string("a=?b"),
                                     std::string("tab\there"), std::string(" lead")}) {
    f.subject = encoded;
    const std::string message = f.Build();
    EXPECT_EQ(DecodeWords(Field(message, "Subject")), encoded);
    ExpectLinesWithinLimit(message);
  }
  f.subject.clear();  // Python's email reads an empty Subject line without a defect
  EXPECT_NE(f.Build().find("\r\nSubject:\r\nDate: "), std::string::npos);
}

TEST(MimeSubject, LongJapaneseSubjectsFoldIntoWholeCharacterWords) {
  Fields f;
  std::string utf8;
  for (int i = 0; i < 100; ++i) utf8 += i % 3 ? "会" : "ｱ";  // 2 and 1 bytes in the log, 3 in UTF-8
  f.subject = Sjis(utf8.c_str());
  const std::string message = f.Build();
  ExpectLinesWithinLimit(message);
  EXPECT_EQ(DecodeWords(Field(message, "Subject")), utf8);
  // The first line fills to 42 bytes (56 base64 characters), the others to 45 (60).
  const std::vector<std::string> lines = HeaderLines(message);
  EXPECT_EQ(lines[1].size(), 9u + 12 + 56);
  EXPECT_EQ(lines[2].size(), 1u + 12 + 60);
}

TEST(MimeSubject, FourAndThreeByteCharactersAreNeverSplitAcrossWords) {
  // The first word takes 42 bytes, the others 45: both characters straddle a limit.
  const std::string emoji = "\xF0\x9F\x98\x80", kai = "\xE4\xBC\x9A";
  const std::string text = std::string(41, 'a') + emoji + std::string(40, 'b') + kai + "c";
  std::string out;
  HeaderFolder folder(out, "Subject");
  folder.AddEncodedWords(text);
  folder.End();
  out += "\r\n";
  const std::vector<std::string> lines = HeaderLines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(DecodeWords(lines[0].substr(9)), std::string(41, 'a'));
  EXPECT_EQ(DecodeWords(lines[1]), emoji + std::string(40, 'b'));
  EXPECT_EQ(DecodeWords(lines[2]), kai + "c");
}

TEST(MimeFrom, NamesTooLongForALineBecomeEncodedWordsAndNoHeaderLineGrowsPast78) {
  Fields f;
  for (const std::size_t letters : {76u, 77u, 78u, 1200u}) {
    f.name = std::string(letters, 'a');
    f.subject = std::string(letters, 'b');
    const std::string message = f.Build();
    ExpectLinesWithinLimit(message);
    const bool encoded = Field(message, "From").starts_with("=?UTF-8?B?");
    EXPECT_EQ(encoded, letters > 77) << letters;
    EXPECT_EQ(DecodeWords(Field(message, "Subject")), f.subject);
  }
}

TEST(MimeFrom, NamesStandAsAtomsOrAsEncodedWords) {
  Fields f;
  f.name = "  Taro Yamada ";
  EXPECT_EQ(HeaderLines(f.Build())[0], "From: Taro Yamada <MNG02345@tav.example.jp>");
  f.name = "";
  EXPECT_EQ(HeaderLines(f.Build())[0], "From: <MNG02345@tav.example.jp>");
  f.name = Sjis("佐藤 一郎 ");
  EXPECT_EQ(HeaderLines(f.Build())[0],
            "From: =?UTF-8?B?5L2Q6JekIOS4gOmDjg==?= <MNG02345@tav.example.jp>");
  for (const char* name : {"J. Smith", "a=?b?=", "Two  spaces", "\x1B[0m"}) {
    f.name = name;
    const std::string from = Field(f.Build(), "From");
    EXPECT_EQ(DecodeWords(from.substr(0, from.find(" <"))), name);
  }
  // A long plain name folds between its atoms; the address goes on its own line.
  f.name = "Abcdefghij Klmnopqrst Uvwxyzabcd Efghijklmn Opqrstuvwx Yzabcdefgh Ijklmnopqr";
  const std::string message = f.Build();
  ExpectLinesWithinLimit(message);
  EXPECT_EQ(Field(message, "From"), f.name + " <MNG02345@tav.example.jp>");
}

TEST(MimeIdentifiers, SenderIdsStandAsDotAtomsOrAsTheHexOfTheirText) {
  const std::pair<std::string, std::string> cases[] = {
      {"MNG02345", "MNG02345"},
      {"a.b-c", "a.b-c"},
      {"x_", "x_"},
      {"_x", "_5f78"},
      {"", "_"},
      {"AB CD", "_4142204344"},
      {"a..b", "_612e2e62"},
      {".a", "_2e61"},
      {"a.", "_612e"},
      {Sjis("佐藤"), "_e4bd90e897a4"},
      {"A\x85", "_41efbfbd"},
  };
  for (const auto& [id, local] : cases) EXPECT_EQ(SenderAddress(id), local + "@tav.example.jp");
}

TEST(MimeIdentifiers, NumbersAndFolderTagsStandAsTheyAreOrAsHex) {
  EXPECT_EQ(MessageIdentifier("00001", "mai"), "00001.mai@tav.example.jp");
  EXPECT_EQ(MessageIdentifier("01502", "a-B9"), "01502.a-B9@tav.example.jp");
  EXPECT_EQ(MessageIdentifier("00001", "会議室"), "00001._e4bc9ae8adb0e5aea4@tav.example.jp");
  EXPECT_EQ(MessageIdentifier("001 0", "a_b"), "_3030312030._615f62@tav.example.jp");
  EXPECT_EQ(MessageIdentifier("", ""), "_._@tav.example.jp");
  EXPECT_EQ(MessageIdentifier(Sjis("０１"), "a.b"), "_efbc90efbc91._612e62@tav.example.jp");
}

TEST(MimeIdentifiers, DigestsTellMessagesApartByTheirBytesAndTheirKeysGatherThem) {
  Fields one;
  Fields other = one;
  other.number = "1\x81 2x";  // numbers that decode alike
  one.number = "1\x82 2x";
  EXPECT_EQ(PlainIdentifier(one.Record()), PlainIdentifier(other.Record()));
  EXPECT_NE(MessageDigest(one.Record()), MessageDigest(other.Record()));
  // The second number and the body are no part of a message's identity.
  Fields reread = one;
  reread.body = "other prompt lines\r\n";
  EXPECT_EQ(MessageDigest(reread.Record()), MessageDigest(one.Record()));
  reread.dateText = "1999/12/04";
  EXPECT_NE(MessageDigest(reread.Record()), MessageDigest(one.Record()));

  const std::string keyed = DigestIdentifier(Fields().Record(), "0123456789abcdef");
  EXPECT_EQ(keyed, "00001.0123456789abcdef.mai@tav.example.jp");
  EXPECT_EQ(KeyOfIdentifier(keyed), "00001.mai@tav.example.jp");
  EXPECT_EQ(KeyOfIdentifier("00001.mai@tav.example.jp"), "00001.mai@tav.example.jp");
  // A folder name hundreds of characters long stands as its fingerprint.
  Fields longFolder;
  longFolder.folder = std::string(500, 'x') + "会議室";
  const std::string id = PlainIdentifier(longFolder.Record());
  EXPECT_TRUE(id.starts_with("00001._h")) << id;
  EXPECT_LE(HeaderLines(longFolder.Build())[3].size(), 998u);
}

TEST(MimeIdentifiers, AParentIsSetOrTakenAwayRightAfterMessageId) {
  const std::string original = Fields().Build();
  std::string message = original;
  ASSERT_TRUE(SetParentIdentifier(message, "00007.mai@tav.example.jp", "\r\n"));
  EXPECT_EQ(HeaderLines(message)[4], "In-Reply-To: <00007.mai@tav.example.jp>");
  EXPECT_EQ(HeaderLines(message)[5], "References: <00007.mai@tav.example.jp>");
  ASSERT_TRUE(SetParentIdentifier(message, "00008.mai@tav.example.jp", "\r\n"));
  EXPECT_EQ(Field(message, "References"), "<00008.mai@tav.example.jp>");
  ASSERT_TRUE(SetParentIdentifier(message, "", "\r\n"));
  EXPECT_EQ(message, original);
  std::string noIdentifier = "From: x\n\nbody\n";
  EXPECT_FALSE(SetParentIdentifier(noIdentifier, "a@b", "\n"));
}

TEST(MimeIdentifiers, RepliesNameTheRepliedToMessageAndLongIdentifiersFoldWhenTheyCan) {
  Fields f;
  EXPECT_EQ(Field(f.Build(), "In-Reply-To"), "(none)");
  EXPECT_EQ(Field(f.Build(), "References"), "(none)");
  f.ref = "00231";
  f.folder = "会議室";
  const std::string message = f.Build();
  EXPECT_EQ(Field(message, "Message-Id"), "<00001._e4bc9ae8adb0e5aea4@tav.example.jp>");
  EXPECT_EQ(Field(message, "In-Reply-To"), "<00231._e4bc9ae8adb0e5aea4@tav.example.jp>");
  EXPECT_EQ(Field(message, "References"), "<00231._e4bc9ae8adb0e5aea4@tav.example.jp>");
  const std::vector<std::string> names = {
      "From",         "Subject",      "Date",
      "Message-Id",   "In-Reply-To",  "References",
      "X-TAV-Digest", "MIME-Version", "Content-Type", "Content-Transfer-Encoding"};
  std::vector<std::string> order;
  for (const std::string& line : HeaderLines(message))
    order.push_back(line.substr(0, line.find(':')));
  EXPECT_EQ(order, names);

  f.folder = "会議室会議室会議";  // an identifier of 70 characters: folded
  EXPECT_EQ(HeaderLines(f.Build())[3], "Message-Id:");
  ExpectLinesWithinLimit(f.Build());
  f.folder += "室";  // 76 characters, too long for any line: it stays on the first
  EXPECT_EQ(HeaderLines(f.Build())[3].substr(0, 13), "Message-Id: <");
}

TEST(MimeDate, WrittenOnlyForADateAndAValidTime) {
  Fields f;
  EXPECT_EQ(Field(f.Build(), "Date"), "4 Dec 1999 12:34:00 +0900");
  f.time = "23:59";
  EXPECT_EQ(Field(f.Build(), "Date"), "4 Dec 1999 23:59:00 +0900");
  for (const char* bad : {"24:00", "12:60", "1234", "12:3", "12:345", "", "1a:00", " 1:00"}) {
    f.time = bad;
    EXPECT_EQ(Field(f.Build(), "Date"), "(none)") << bad;
  }
  f.time = "12:34";
  f.date.clear();
  EXPECT_EQ(Field(f.Build(), "Date"), "(none)");
}

TEST(MimeDate, AFourDigitYearIsTheYearAndADayItLacksGivesNoDate) {
  Fields f;
  f.date = "5 Jan 1930";  // how the two-digit reading takes 2030/01/05
  f.dateText = "2030/01/05";
  EXPECT_EQ(Field(f.Build(), "Date"), "5 Jan 2030 12:34:00 +0900");
  for (const char* noLeapDay : {"1900/02/29", "2100/02/29"}) {
    f.date = "29 Feb 2000";
    f.dateText = noLeapDay;
    EXPECT_EQ(Field(f.Build(), "Date"), "(none)") << noLeapDay;
  }
  f.dateText = "2000/02/29";
  EXPECT_EQ(Field(f.Build(), "Date"), "29 Feb 2000 12:34:00 +0900");
}

std::string QuotedPrintableDecode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') {
      out += text[i];
    } else if (text.compare(i + 1, 2, "\r\n") == 0) {
      i += 2;
    } else {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
  }
  return out;
}

std::string Body(const std::string& message) {
  return message.substr(message.find("\r\n\r\n") + 4);
}

TEST(MimeBody, EightBitUntilALineExceeds998BytesOfUtf8OrANulAppears) {
  Fields f;
  f.body = std::string(998, 'a') + "\r\n" + Sjis("あ") + "\r\n";
  EXPECT_EQ(Field(f.Build(), "Content-Transfer-Encoding"), "8bit");
  EXPECT_EQ(Body(f.Build()), std::string(998, 'a') + "\r\nあ\r\n\r\n");
  f.body.clear();
  EXPECT_EQ(Body(f.Build()), "\r\n");

  std::string japanese;  // 666 bytes in the log, 999 in UTF-8
  for (int i = 0; i < 333; ++i) japanese += "あ";
  const std::string nul("a\0b", 3);
  for (const auto& [log, utf8] : {std::pair{std::string(999, 'a'), std::string(999, 'a')},
                                  std::pair{Sjis(japanese.c_str()), japanese},
                                  std::pair{"=x \t" + nul + " ", "=x \t" + nul + " "}}) {
    f.body = log + "\r\nend \r\n";
    const std::string message = f.Build();
    EXPECT_EQ(Field(message, "Content-Transfer-Encoding"), "quoted-printable");
    const std::string body = Body(message);
    EXPECT_EQ(QuotedPrintableDecode(body), utf8 + "\r\nend \r\n\r\n");
    for (std::size_t pos = 0, end; (end = body.find("\r\n", pos)) != std::string::npos;
         pos = end + 2) {
      const std::string line = body.substr(pos, end - pos);
      EXPECT_LE(line.size(), 76u);
      EXPECT_TRUE(line.empty() || (line.back() != ' ' && line.back() != '\t')) << line;
    }
    EXPECT_NE(body.find("end=20\r\n"), std::string::npos);
  }
}

TEST(MimeMessage, CountsReplacedBytesOfEveryFieldAndKeepsNothingBetweenMessages) {
  Fields f;
  f.id = "A\x85";               // a lead byte at the end
  f.name = "\x82 ";             // a lead byte before a space
  f.subject = "\x81\x7F\x82";   // an unmapped pair, then a lead byte at the end
  f.number = "\xEB\x40";        // an unmapped lead byte
  f.ref = "\x80\xA0";           // unassigned single bytes decode without a replacement
  f.body = "\x82\xA0\x82\r\n";  // the lead byte of an unmapped pair with CR
  std::size_t replaced = 0;
  const std::string broken = f.Build(&replaced);
  EXPECT_EQ(replaced, 6u);
  EXPECT_EQ(Body(broken), "あ\xEF\xBF\xBD\r\n\r\n");
  // Counted without building the message, the body decoded apart: the same.
  std::string decoded;
  EXPECT_EQ(MimeMessageBuilder::ReplacedFieldBytes(f.Record()) +
                MimeMessageBuilder::DecodeBody(f.Record(), decoded),
            6u);
  Fields odd = f;
  odd.date = "4 Dec \x85";  // a date no field reader writes, its year given by the date line
  odd.dateText = "1999/12/04";
  std::size_t oddReplaced = 0;
  odd.Build(&oddReplaced);
  EXPECT_EQ(MimeMessageBuilder::ReplacedFieldBytes(odd.Record()) + 1, oddReplaced);

  // One builder, one string: messages follow each other unchanged.
  const Fields plain;
  MimeMessageBuilder builder;
  std::string out;
  for (const Fields* fields : {static_cast<const Fields*>(&f), &plain}) {
    const MessageRecord record = fields->Record();
    const std::string id = PlainIdentifier(record), parent = ParentKey(record),
                      digest = MessageDigest(record);
    builder.Append(record, {id, parent, digest}, out);
  }
  EXPECT_EQ(out, broken + plain.Build());
}

}  // namespace
}  // namespace tav
