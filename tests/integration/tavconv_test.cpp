// The command-line converter: arguments, reports, exit status, and output
// identical to a run of the main window.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/paths.h"
#include "support/log_fixture.h"
#include "tavconv.h"

namespace tav {
namespace {

const std::vector<std::string> kLog = {
    "ATZ",      "001/002  ID000001  佐藤 一郎     最初",     "00/04/10 21:47",
    "本文　一", "002/002  ID000002  たけし        Re: 最初", "00/04/11 21:47  001へのコメント",
    "本文二",
};

class Tavconv : public test::LogFixture {
 protected:
  int Tav(const std::vector<std::string>& utf8Args) {
    std::vector<std::filesystem::path> args;
    for (const std::string& arg : utf8Args) args.push_back(PathFromUtf8(arg));
    out.str("");
    errors.str("");
    return RunTavconv(args, out, errors, files);
  }
  std::string Log(std::string_view name) const { return Utf8FromPath(dir / name); }

  std::ostringstream out;
  std::ostringstream errors;
};

TEST_F(Tavconv, ConvertsEachLogAndSaysWhere) {
  WriteLog("mail0412.log", kLog);
  WriteLog("fbbs0412.log", kLog);
  EXPECT_EQ(Tav({Log("mail0412.log"), Log("fbbs0412.log")}), kExitOk);
  EXPECT_EQ(out.str(), Log("mail0412.log") + ": 2 messages written to " + Log("mai") + "\n" +
                           Log("fbbs0412.log") + ": 2 messages written to " + Log("fbb") + "\n");
  EXPECT_EQ(errors.str(), "");
  EXPECT_TRUE(Exists("fbb/00002.eml"));
}

TEST_F(Tavconv, WritesExactlyWhatAFullAutoRunWrites) {
  WriteLog("abcdef.log", kLog);
  ASSERT_EQ(Tav({"--dir-name-len", "4", Log("abcdef.log")}), kExitOk);
  const std::string one = ReadFile(dir / "abcd" / "00001.eml");
  const std::string two = ReadFile(dir / "abcd" / "00002.eml");
  files.Remove(dir / "abcd");

  ShowAndSelect({"abcdef.log"});
  ui.numberBox = "4";
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(ReadFile(dir / "abcd" / "00001.eml"), one);
  EXPECT_EQ(ReadFile(dir / "abcd" / "00002.eml"), two);
}

TEST_F(Tavconv, ReusesAnExistingFolderAndSkipsFilesThatAreNoLogs) {
  WriteLog("abc1.log", kLog);
  WriteLog("abc2.log", kLog);
  WriteLog("notes.txt", {"just some text"});
  EXPECT_EQ(Tav({"--dir-name-len=3", Log("abc1.log"), Log("notes.txt"), Log("abc2.log")}), kExitOk);
  EXPECT_EQ(errors.str(), "tavconv: " + Log("notes.txt") +
                              ": no message header lines; skipped\n"
                              "tavconv: " +
                              Log("abc") + ": folder exists; converting into it\n");
  EXPECT_FALSE(Exists("not"));
}

TEST_F(Tavconv, ReportsWhatCouldNotBeReadOrWrittenAndGoesOn) {
  WriteLog("a.log", kLog);
  WriteLog("b.log", {"001/002  ID000001  Taro     x", "00/01/01 00:00", "00002/00002  I  y",
                     "00/01/01 00:00"});
  WriteLog("c.log", kLog);
  files.failWrite = [this](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path == dir / "c.l" / "00001.eml") return "Disk quota exceeded";
    return std::nullopt;
  };
  EXPECT_EQ(Tav({Log("missing.log"), Log("a.log"), Log("b.log"), Log("c.log")}), kExitFailure);
  const std::string report = errors.str();
  EXPECT_NE(report.find("tavconv: " + Log("missing.log") + ": cannot read: "), std::string::npos);
  EXPECT_NE(report.find("tavconv: " + Log("b.log") + ": message number \"001/0\" cannot stand"),
            std::string::npos);
  EXPECT_NE(report.find("tavconv: " + Utf8FromPath(dir / "c.l" / "00001.eml") +
                        ": cannot write: Disk quota exceeded"),
            std::string::npos);
  EXPECT_TRUE(Exists("a.l/00002.eml"));
  EXPECT_TRUE(Exists("b.l/00002.eml"));
  EXPECT_FALSE(Exists("c.l/00002.eml"));
  EXPECT_NE(out.str().find(Log("b.log") + ": 1 message written"), std::string::npos);
}

TEST_F(Tavconv, FolderThatIsTheLogItselfIsAFailure) {
  WriteLog("ab", kLog);
  EXPECT_EQ(Tav({Log("ab")}), kExitFailure);
  EXPECT_NE(errors.str().find("cannot create the output folder"), std::string::npos);
  EXPECT_EQ(out.str(), "");
}

// The command line's own cases are in unit/command_line_test.cpp.
TEST_F(Tavconv, ConvertsNothingOnAUsageErrorOrHelp) {
  WriteLog("abc.log", kLog);
  EXPECT_EQ(Tav({Log("abc.log"), "--dir-name-len", "0"}), kExitUsage);
  EXPECT_EQ(Tav({Log("abc.log"), "--help"}), kExitOk);
  EXPECT_EQ(Tav({Log("abc.log"), "--version"}), kExitOk);
  EXPECT_FALSE(Exists("abc"));
}

TEST_F(Tavconv, NamesAfterDoubleDashAreLogs) {
  // A log in the current folder, whose path is its bare name.
  files.folders.insert(std::filesystem::path());
  WriteFile("-xy.log", test::Sjis(test::CrLfLines(kLog)));
  EXPECT_EQ(Tav({"--", "-xy.log"}), kExitOk);
  EXPECT_TRUE(files.Exists(std::filesystem::path("-xy") / "00001.eml"));
}

// --- The standard mail forms ---

TEST_F(Tavconv, MimeKeepsTheFoldersAndNamesAndTellsOfBytesItReplaced) {
  WriteLog("abc.log", kLog);
  // Message 00001's subject holds 0x85 0x40, a pair that code page 932 leaves unmapped.
  WriteFile(dir / "odd.log", "001/001  ID000001  Taro     S\x85\x40\r\n00/04/10 21:47\r\nbody\r\n");
  EXPECT_EQ(Tav({"--mime", Log("abc.log"), Log("odd.log")}), kExitOk);
  EXPECT_EQ(files.Names(dir / "abc"), (std::vector<std::string>{"00001.eml", "00002.eml"}));
  const std::string reply = ReadFile(dir / "abc" / "00002.eml");
  EXPECT_NE(reply.find("\r\nReferences: <00001.abc@tav.example.jp>\r\nX-TAV-Digest: "),
            std::string::npos)
      << reply;
  EXPECT_EQ(errors.str(), "tavconv: " + Log("odd.log") +
                              ": message 00001: 1 byte that code page 932 cannot decode replaced "
                              "by U+FFFD\n");
  EXPECT_NE(ReadFile(dir / "odd" / "00001.eml").find("Subject: =?UTF-8?B?U++/vUA=?="),
            std::string::npos);
}

TEST_F(Tavconv, MboxHoldsEveryMessageQuotedAndAppearsOnlyWhenComplete) {
  WriteLog("abc.log", kLog);
  WriteLog("xyz.log", {"001/001  ID000009  Jiro     Quotes", "00/04/12 09:05", "From here",
                       ">From there", ">>From  afar", "Fromage"});
  EXPECT_EQ(Tav({"--mbox", Log("all.mbox"), Log("abc.log"), Log("xyz.log")}), kExitOk);
  EXPECT_EQ(out.str(), Log("abc.log") + ": 2 messages written to " + Log("all.mbox") + "\n" +
                           Log("xyz.log") + ": 1 message written to " + Log("all.mbox") + "\n");
  const std::string mbox = ReadFile(dir / "all.mbox");
  EXPECT_EQ(mbox.find('\r'), std::string::npos);
  EXPECT_TRUE(mbox.starts_with("From ID000001@tav.example.jp Mon Apr 10 12:47:00 2000\nFrom: "));
  EXPECT_NE(mbox.find("\n\nFrom ID000002@tav.example.jp Tue Apr 11 12:47:00 2000\n"),
            std::string::npos);
  EXPECT_NE(mbox.find("\n\n>From here\n>>From there\n>>>From  afar\nFromage\n\n\n"),
            std::string::npos)
      << mbox;
  // Nothing but the logs and the mailbox: no folder, no fresh file left.
  EXPECT_EQ(files.Names(dir.path()), (std::vector<std::string>{"abc.log", "all.mbox", "xyz.log"}));

  // An existing mailbox is refused before anything is converted.
  WriteFile(dir / "old.mbox", "kept");
  EXPECT_EQ(Tav({"--mbox", Log("old.mbox"), Log("abc.log")}), kExitFailure);
  EXPECT_EQ(ReadFile(dir / "old.mbox"), "kept");
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(errors.str().find(Log("old.mbox") + ": exists already; nothing converted"),
            std::string::npos);
}

TEST_F(Tavconv, MboxThatCannotBeWrittenLeavesNothingAndStopsTheLogs) {
  WriteLog("abc.log", kLog);
  WriteLog("xyz.log", kLog);
  files.failWrite = [](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path.filename().string().starts_with(".tav-")) return "No space left on device";
    return std::nullopt;
  };
  EXPECT_EQ(Tav({"--mbox", Log("all.mbox"), Log("abc.log"), Log("xyz.log")}), kExitFailure);
  EXPECT_NE(errors.str().find(Log("all.mbox") + ": not written: No space left on device"),
            std::string::npos)
      << errors.str();
  EXPECT_EQ(out.str().find("xyz.log"), std::string::npos);  // the second log was not tried
  EXPECT_EQ(files.Names(dir.path()), (std::vector<std::string>{"abc.log", "xyz.log"}));
}

TEST_F(Tavconv, MaildirNamesMessagesByIdentifierSoASecondRunReplacesThem) {
  WriteLog("abc.log", kLog);
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(Tav({"--maildir", Log("mail/inbox"), Log("abc.log")}), kExitOk);
  }
#ifdef _WIN32
  const std::string flags = "!2,S";
#else
  const std::string flags = ":2,S";
#endif
  EXPECT_EQ(files.Names(dir / "mail" / "inbox" / "cur"),
            (std::vector<std::string>{"00001.abc@tav.example.jp" + flags,
                                      "00002.abc@tav.example.jp" + flags}));
  EXPECT_TRUE(files.Names(dir / "mail" / "inbox" / "tmp").empty());
  EXPECT_TRUE(files.Names(dir / "mail" / "inbox" / "new").empty());
  EXPECT_FALSE(Exists("abc"));

  // A file where the Maildir must go: nothing converted.
  WriteFile(dir / "box", "a file");
  EXPECT_EQ(Tav({"--maildir", Log("box"), Log("abc.log")}), kExitFailure);
  EXPECT_NE(errors.str().find("not a folder"), std::string::npos);
}

// A name stored decomposed, as Mac volumes keep it, gives in every output
// the folders, identifiers and threads of the same name composed.
TEST_F(Tavconv, DecomposedAndComposedNamesGiveTheSameOutput) {
  const std::string names[] = {"ガイド0412.log", "\u30AB\u3099\u30A4\u30C8\u3099" "0412.log"};
  const std::vector<std::vector<std::string>> outputs = {
      {}, {"--mime"}, {"--mbox", "box"}, {"--maildir", "box"}};
  for (std::size_t output = 0; output < outputs.size(); ++output) {
    std::map<std::filesystem::path, std::string> written[2];  // relative path: bytes
    for (int form = 0; form < 2; ++form) {
      const std::string where = std::to_string(output) + "-" + std::to_string(form);
      WriteLog(where + "/" + names[form], kLog);
      std::vector<std::string> args = outputs[output];
      if (args.size() == 2) args[1] = Log(where + "/" + args[1]);
      args.push_back(Log(where + "/" + names[form]));
      ASSERT_EQ(Tav(args), kExitOk) << errors.str();
      for (const auto& [path, bytes] : files.files) {
        const std::filesystem::path relative = path.lexically_relative(dir / where);
        if (*relative.begin() != "..") written[form][relative] = bytes;
      }
      written[form].erase(PathFromUtf8(names[form]));
    }
    EXPECT_FALSE(written[0].empty()) << output;
    EXPECT_EQ(written[0], written[1]) << output;
  }
  EXPECT_TRUE(Exists("0-1/ガイド/00002.eml"));
}

}  // namespace
}  // namespace tav
