// The parts of the web archive that decide what a reader sees: escaping,
// links in bodies, text shown for control characters, file names, and which
// readings are one message and which message a reply belongs under.
#include <gtest/gtest.h>

#include "archive/archive_model.h"
#include "archive/archive_names.h"
#include "archive/display_text.h"
#include "archive/html_writer.h"

namespace tav {
namespace {

std::string Html(std::string_view text) {
  std::string out;
  HtmlWriter(out).TextWithLinks(text);
  return out;
}

TEST(ArchiveHtml, EscapesMarkupAndLinksOnlyWholeWebAddresses) {
  EXPECT_EQ(Html("<b a='1'>&\"</b>"), "&lt;b a=&#39;1&#39;&gt;&amp;&quot;&lt;/b&gt;");
  // The sentence's punctuation and the quote after an address stay text.
  EXPECT_EQ(Html("see http://a.jp/x?y=1&z=2)."),
            "see <a href=\"http://a.jp/x?y=1&amp;z=2\" rel=\"nofollow noopener\">"
            "http://a.jp/x?y=1&amp;z=2</a>).");
  EXPECT_EQ(
      Html("\"https://a.jp/\"<"),
      "&quot;<a href=\"https://a.jp/\" rel=\"nofollow noopener\">https://a.jp/</a>&quot;&lt;");
  // Nothing a checker would call a bad address becomes a link.
  for (const char* text :
       {"http://", "http://.jp", "xhttp://a.jp", "mailto://a", "http://a:99999"}) {
    EXPECT_EQ(Html(text).find("<a"), std::string::npos) << text;
  }
  EXPECT_EQ(WebAddressLength("http://a.jp/%zz"), std::string_view("http://a.jp/").size());
  EXPECT_EQ(WebAddressLength("ftp://a.jp/#x#y"), std::string_view("ftp://a.jp/#x").size());
}

TEST(ArchiveText, ShowsControlCharactersAsSymbolsAndKeepsLines) {
  EXPECT_EQ(DisplayText("a\tb\r\nc\x01\x1b\x7f\x80"), "a\tb\nc\u2401\u241b\u2421\u2426");
  EXPECT_EQ(DisplayText("\x82\xa0\x82"), "\u3042\ufffd");  // a lead byte at the end
  EXPECT_EQ(DisplayText("\r"), "\u240d");                  // a CR alone is no line end
  EXPECT_EQ(VisibleUtf8("a\xff\x01\xc2\x85z"), "a\ufffd\u2401\u2426z");
}

TEST(ArchiveNames, StayDistinctWhereCaseIsIgnoredAndNeverNameADevice) {
  EXPECT_EQ(SafeName("mai"), "mai");
  EXPECT_EQ(SafeName("Mai"), "_4d6169");
  EXPECT_EQ(SafeName("con"), "_636f6e");
  EXPECT_EQ(SafeName("-a"), "_2d61");
  EXPECT_EQ(SafeName(""), "_");
  EXPECT_EQ(NumberStem("001 0"), "_3030312030");
  EXPECT_EQ(DigestStem("00001", 0xABCDEF), "00001-0000000000abcdef");
}

// A model fed readings of one folder, by number, reply number and subject.
class ArchiveReplies : public ::testing::Test {
 protected:
  std::uint32_t Read(std::string_view number, std::string_view refNo,
                     std::string_view subject = "s") {
    MessageRecord record;
    record.FolderName = "fbb";
    record.MsgNo = number;
    record.RefNo = refNo;
    record.Subject = subject;
    bool added = false;
    return model.Read(record, added);
  }
  std::int32_t ParentOf(std::uint32_t message) const { return model.messages[message].parent; }

  ArchiveModel model;
};

TEST_F(ArchiveReplies, ReadingTwiceIsOneMessageAndAnotherOfTheNumberGetsTheDigest) {
  const std::uint32_t first = Read("00001", "");
  EXPECT_EQ(Read("00001", ""), first);
  const std::uint32_t other = Read("00001", "", "another");
  EXPECT_NE(other, first);
  EXPECT_EQ(model.messages[first].stem(), "00001");
  EXPECT_TRUE(model.messages[other].stem().starts_with("00001-"));
  EXPECT_EQ(model.messages.size(), 2u);
}

TEST_F(ArchiveReplies, TakeTheLastBeforeThenTheFirstAfter) {
  const std::uint32_t early = Read("00001", "");
  const std::uint32_t late = Read("00001", "", "again");
  const std::uint32_t reply = Read("00002", "00001");
  const std::uint32_t orphanFirst = Read("00003", "00004");
  const std::uint32_t after = Read("00004", "");
  const std::uint32_t afterToo = Read("00004", "", "later");
  model.ResolveParents();
  EXPECT_EQ(ParentOf(reply), static_cast<std::int32_t>(late));
  EXPECT_EQ(ParentOf(orphanFirst), static_cast<std::int32_t>(after));
  EXPECT_EQ(ParentOf(early), kNoMessage);
  EXPECT_EQ(ParentOf(afterToo), kNoMessage);
}

TEST_F(ArchiveReplies, NeverCloseACircle) {
  const std::uint32_t a = Read("00001", "00002");
  const std::uint32_t b = Read("00002", "00001");
  model.ResolveParents();
  EXPECT_EQ(ParentOf(a), static_cast<std::int32_t>(b));
  EXPECT_EQ(ParentOf(b), kNoMessage);
}

TEST_F(ArchiveReplies, AnEarlierRunsMessageKeepsItsParentAndAnOrphanFindsOne) {
  const std::array<std::uint32_t, ArchiveMessage::kFields + 1> ends = {5, 5, 5, 5, 5, 5, 10, 10, 15};
  model.SectionOf("fbb");
  model.AddPrevious(0,
                    "00001"
                    "00009"
                    "00001",
                    ends, kNoMessage);  // a reply to 00009, orphan
  model.AddPrevious(0,
                    "00002"
                    "00007"
                    "00002",
                    ends, kNoMessage);  // a reply to 00007, orphan
  const std::uint32_t parent = Read("00009", "");
  model.ResolveParents();
  EXPECT_EQ(ParentOf(0), static_cast<std::int32_t>(parent));
  EXPECT_EQ(ParentOf(1), kNoMessage);
  EXPECT_EQ(Read("00001", "00009", ""), 0u);  // the same message, read again
}

}  // namespace
}  // namespace tav
