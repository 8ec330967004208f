// Every message read survives: title lists after the reading, mail numbers
// that restart each session, the same logs converted again, messages whose
// parent comes later in the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "mail/mime_message.h"
#include "platform/paths.h"
#include "support/log_fixture.h"
#include "tavconv.h"

namespace tav {
namespace {

#ifdef _WIN32
constexpr const char* kSeen = "!2,S";
#else
constexpr const char* kSeen = ":2,S";
#endif

// A forum session: two messages read, then the title list of the room.
const std::vector<std::string> kReadThenListed = {
    "00231/00234  HBB12345  山本 真一     プリンタが認識されない",
    "00/04/11 23:15",
    "はじめまして。",
    "00232/00234  KTX00731  中村 美穂     Re: プリンタが認識されない",
    "00/04/11 23:40  00231へのコメント",
    "ケーブルは？",
    "コマンド (R:読む L:一覧 Q:戻る) ? L",
    "00231/00234  HBB12345  山本 真一     プリンタが認識されない",
    "00232/00234  KTX00731  中村 美穂     Re: プリンタが認識されない",
    "00233/00234  OSK40012  ぽんた        ＣＤ－ＲＯＭ",
    "00234/00234  HBB12345  山本 真一     Re: プリンタが認識されない",
    "コマンド (R:読む L:一覧 Q:戻る) ? Q",
};

std::vector<std::string> MailSession(const std::string& sender, const std::string& body) {
  return {"001/001  " + sender + "  佐藤 一郎     こんにちは", "00/04/12 10:00", body};
}

class NothingLost : public test::LogFixture {
 protected:
  int Tav(std::vector<std::filesystem::path> args) {
    out.str("");
    errors.str("");
    return RunTavconv(args, out, errors, files);
  }
  bool Told(const std::string& text) const { return errors.str().find(text) != std::string::npos; }
  // The Message-Id of every message of a mailbox or a Maildir's cur, in order.
  std::vector<std::string> MboxIdentifiers(const std::filesystem::path& mbox) const {
    std::vector<std::string> ids;
    const std::string text = files.Bytes(mbox);
    for (std::size_t at = 0; (at = text.find("\nMessage-Id: ", at)) != std::string::npos; ++at) {
      ids.push_back(text.substr(at + 13, text.find('\n', at + 1) - at - 13));
    }
    return ids;
  }
  std::vector<std::string> Cur(const std::filesystem::path& maildir) const {
    return files.Names(maildir / "cur");
  }

  std::ostringstream out;
  std::ostringstream errors;
};

TEST_F(NothingLost, ATitleListNeverReplacesAMessageReadEarlierOrTheDayBefore) {
  WriteLog("fbbs0412.log", kReadThenListed);
  const std::string read = files.Bytes(dir / "fbbs0412.log");
  EXPECT_EQ(Tav({dir / "fbbs0412.log"}), kExitOk);
  const std::string message = ReadFile(dir / "fbb" / "00231.eml");
  EXPECT_NE(message.find(test::Sjis("はじめまして。")), std::string::npos);
  EXPECT_TRUE(Told("1 title-list entry passed over")) << errors.str();
  // 00233 was never read: its title-list entry is written as it always was.
  EXPECT_TRUE(Exists("fbb/00233.eml"));

  // The next day's log lists the room again before reading anything.
  WriteLog("fbbs0413.log", std::vector<std::string>(kReadThenListed.begin() + 7,
                                                    kReadThenListed.end()));
  EXPECT_EQ(Tav({dir / "fbbs0413.log"}), kExitOk);
  EXPECT_EQ(ReadFile(dir / "fbb" / "00231.eml"), message);

  // The standard forms hold the messages read, and no title-list entry.
  EXPECT_EQ(Tav({"--mbox", dir / "all.mbox", dir / "fbbs0412.log", dir / "fbbs0413.log"}),
            kExitOk);
  EXPECT_EQ(MboxIdentifiers(dir / "all.mbox"),
            (std::vector<std::string>{"<00231.fbb@tav.example.jp>", "<00232.fbb@tav.example.jp>"}));
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "fbbs0412.log", dir / "fbbs0413.log"}), kExitOk);
  EXPECT_EQ(Cur(dir / "box").size(), 2u);
}

TEST_F(NothingLost, MailNumbersThatRestartEachSessionKeepEveryMailApart) {
  WriteLog("mail0412.log", MailSession("ABC00001", "最初の便り"));
  WriteLog("mail0415.log", MailSession("XYZ00002", "別の便り"));
  const std::vector<std::filesystem::path> logs = {dir / "mail0412.log", dir / "mail0415.log"};

  std::vector<std::filesystem::path> args = {"--maildir", dir / "box"};
  args.insert(args.end(), logs.begin(), logs.end());
  EXPECT_EQ(Tav(args), kExitOk);
  const std::vector<std::string> cur = Cur(dir / "box");
  ASSERT_EQ(cur.size(), 2u);
  // The first keeps the identifier earlier versions gave it.
  EXPECT_TRUE(files.Exists(dir / "box" / "cur" / (std::string("00001.mai@tav.example.jp") + kSeen)));
  EXPECT_NE(cur[0], cur[1]);

  args[0] = "--mbox";
  args[1] = dir / "all.mbox";
  EXPECT_EQ(Tav(args), kExitOk);
  const std::vector<std::string> ids = MboxIdentifiers(dir / "all.mbox");
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_NE(ids[0], ids[1]);

  // The folder keeps the later mail, and says so.
  EXPECT_EQ(Tav({dir / "mail0412.log", dir / "mail0415.log"}), kExitOk);
  EXPECT_TRUE(Told(Utf8FromPath(dir / "mail0415.log") + ": message 00001: its file held a "
                   "different message"))
      << errors.str();
}

TEST_F(NothingLost, FolderNamesThatDifferInCaseOnlyKeepTwoFilesWhereCaseIsIgnored) {
  WriteLog("MAIL0412.LOG", MailSession("ABC00001", "最初の便り"));
  WriteLog("mail0415.log", MailSession("XYZ00002", "別の便り"));
  const std::vector<std::filesystem::path> args = {"--maildir", dir / "box", dir / "MAIL0412.LOG",
                                                   dir / "mail0415.log"};
  EXPECT_EQ(Tav(args), kExitOk);
  std::vector<std::string> cur = Cur(dir / "box");
  ASSERT_EQ(cur.size(), 2u);
  for (std::string& name : cur) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  }
  EXPECT_NE(cur[0], cur[1]);

  // A Maildir whose file an earlier version named by the identifier alone
  // gets no second copy of it.
  const std::vector<std::string> names = Cur(dir / "box");
  const auto marked = std::find_if(names.begin(), names.end(), [](const std::string& name) {
    return name.starts_with("00001.MAI@");
  });
  ASSERT_NE(marked, names.end());
  const auto earlier = dir / "box" / "cur" / (std::string("00001.MAI@tav.example.jp") + kSeen);
  files.files[earlier] = files.Bytes(dir / "box" / "cur" / *marked);
  files.Remove(dir / "box" / "cur" / *marked);
  EXPECT_EQ(Tav(args), kExitOk);
  EXPECT_EQ(Cur(dir / "box").size(), 2u);
  EXPECT_TRUE(files.Exists(earlier));
}

TEST_F(NothingLost, NumbersThatDecodeAlikeAreTwoMessages) {
  WriteLog("abc.log", {});
  files.AddFile(dir / "abc.log", "1\x81 2x/00002  ID000001  Taro     one\r\n00/04/12 10:00\r\nA\r\n"
                                 "1\x82 2x/00002  ID000002  Jiro     two\r\n00/04/12 10:01\r\nB\r\n");
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "abc.log"}), kExitOk);
  EXPECT_EQ(Cur(dir / "box").size(), 2u);
}

TEST_F(NothingLost, ARerunKeepsTheFlagsAndReplacesOnlyWhatChanged) {
  WriteLog("abc.log", MailSession("ABC00001", "本文"));
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "abc.log"}), kExitOk);
  const std::string name = "00001.abc@tav.example.jp";
  const auto seen = dir / "box" / "cur" / (name + kSeen);
  const std::string first = files.Bytes(seen);

  // The mail program marked it replied, or moved it back to new as unread.
  for (const auto& moved : {dir / "box" / "cur" / (name + std::string(kSeen) + "R"),
                            dir / "box" / "new" / name}) {
    files.files[moved] = files.Bytes(seen);
    files.Remove(seen);
    EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "abc.log"}), kExitOk);
    EXPECT_EQ(Cur(dir / "box").size() + files.Names(dir / "box" / "new").size(), 1u);
    EXPECT_EQ(files.Bytes(moved), first);
    files.files[seen] = files.Bytes(moved);
    files.Remove(moved);
  }

  // A later reading with other lines at its end replaces the body in place.
  WriteLog("abc.log", MailSession("ABC00001", "本文と続き"));
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "abc.log"}), kExitOk);
  EXPECT_EQ(Cur(dir / "box"), std::vector<std::string>{name + kSeen});
  EXPECT_NE(files.Bytes(seen).find("続き"), std::string::npos);
}

TEST_F(NothingLost, AReplyReadBeforeItsParentNamesTheParentReadLater) {
  WriteLog("fbbs0412.log", {"00232/00232  KTX00731  中村 美穂     Re: 質問",
                            "00/04/11 23:40  00231へのコメント", "答え"});
  WriteLog("fbbs0413.log", {"00231/00232  HBB12345  山本 真一     質問", "00/04/11 23:15",
                            "問い"});
  const std::string parent = "<00231.fbb@tav.example.jp>";
  EXPECT_EQ(Tav({"--mime", dir / "fbbs0412.log", dir / "fbbs0413.log"}), kExitOk);
  EXPECT_EQ(HeaderField(ReadFile(dir / "fbb" / "00232.eml"), "In-Reply-To"), parent);
  EXPECT_EQ(Tav({"--mbox", dir / "all.mbox", dir / "fbbs0412.log", dir / "fbbs0413.log"}),
            kExitOk);
  EXPECT_NE(files.Bytes(dir / "all.mbox").find("\nIn-Reply-To: " + parent + "\n"),
            std::string::npos);
  // Alone, the reply names no parent; once the Maildir holds one, that one.
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "fbbs0412.log"}), kExitOk);
  const auto reply = dir / "box" / "cur" / (std::string("00232.fbb@tav.example.jp") + kSeen);
  EXPECT_EQ(HeaderField(files.Bytes(reply), "In-Reply-To"), std::nullopt);
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "fbbs0413.log"}), kExitOk);
  EXPECT_EQ(Tav({"--maildir", dir / "box", dir / "fbbs0412.log"}), kExitOk);
  EXPECT_EQ(HeaderField(files.Bytes(reply), "In-Reply-To"), parent);
}

TEST_F(NothingLost, MailboxesReachTheDiskBeforeTheirNamesAndLongFolderNamesFit) {
  const std::string longName = std::string(125, 'f') + ".log";
  WriteLog(longName, MailSession("ABC00001", "本文"));
  files.syncs = 0;
  EXPECT_EQ(Tav({"--dir-name-len", "125", "--maildir", dir / "box", dir / longName}), kExitOk);
  ASSERT_EQ(Cur(dir / "box").size(), 1u);
  EXPECT_LE(Cur(dir / "box")[0].size(), 255u - 10);
  EXPECT_GT(files.syncs, 0);
  // The default output puts nothing on the disk one file at a time.
  files.syncs = 0;
  EXPECT_EQ(Tav({dir / longName}), kExitOk);
  EXPECT_EQ(files.syncs, 0);
}

}  // namespace
}  // namespace tav
