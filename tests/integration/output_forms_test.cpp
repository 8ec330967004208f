// Runs of the main window in each output form: what they write against
// tavconv, what they ask and tell, and the web archive's run with a writer
// standing in for the archive's.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/paths.h"
#include "support/log_fixture.h"
#include "tavconv.h"

namespace tav {
namespace {

using Events = std::vector<std::string>;

// A reply read before its parent, and a message with a byte that code page
// 932 cannot decode (a lead byte before a blank).
const std::vector<std::string> kReplyFirst = {
    "002/002  ID000002  たけし        Re: 最初", "00/04/11 21:47  001へのコメント", "本文二",
};
const std::vector<std::string> kParentLater = {
    "001/002  ID000001  佐藤 一郎     最初", "00/04/10 21:47", "本文　一",
};
// A forum's title list under a message read.
const std::vector<std::string> kWithTitleList = {
    "00231/00234  HBB12345  山本 真一     プリンタ", "00/04/11 23:15", "はじめまして。",
    "00231/00234  HBB12345  山本 真一     プリンタ", "00232/00234  KTX00731  中村 美穂     Re: プリンタ",
};

class OutputForms : public test::LogFixture {
 protected:
  // The same logs in a second folder, converted there by tavconv.
  void CopyLogsTo(const std::filesystem::path& other, const std::vector<std::string>& names) {
    files.AddFolder(other);
    for (const std::string& name : names) {
      files.AddFile(other / PathFromUtf8(name), files.Bytes(dir / name));
    }
  }
  // Every file under `root` (its logs aside) by its path from `root`.
  std::map<std::string, std::string> Written(const std::filesystem::path& root) const {
    std::map<std::string, std::string> written;
    for (const auto& [path, bytes] : files.files) {
      const std::string relative = Utf8FromPath(path.lexically_relative(root));
      if (!relative.starts_with("..") && !relative.ends_with(".log")) written[relative] = bytes;
    }
    return written;
  }
  std::string Shown(std::string_view relative) const {
    return Utf8FromPath((dir / relative).make_preferred());
  }
  std::string Sep() const { return Utf8FromPath(std::filesystem::path("/").make_preferred()); }
};

TEST_F(OutputForms, StandardMailRunWritesWhatTavconvMimeWrites) {
  WriteLog("mail0412.log", kReplyFirst);
  WriteLog("mail0413.log", kParentLater);
  files.files[dir / "mail0412.log"] += "\x81 \r\n";  // a byte that does not decode, in 002
  const std::filesystem::path cli = std::filesystem::path("/cli").make_preferred();
  CopyLogsTo(cli, {"mail0412.log", "mail0413.log"});

  g.Output = OutputForm::Mime;
  ShowAndSelect({"mail0412.log", "mail0413.log"});
  ui.answers = {kOk, kOk, test::ScriptedUi::kGoOn, kOk};
  Run();
  // The second log goes into the folder the first made: the warning stays.
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " start?", " DiskError!!",
                                                   " Notice!"}));
  EXPECT_EQ(ui.boxes[0].text,
            "mail0412.log を始めとするログファイルを、\r\n"
            "以下の条件で処理します。よろしいですか？\r\n"
            "\r\n"
            "★　「実行時の注意あり」SemiAuto モード\r\n"
            "★　出力形式　．．．　標準メール（ＭＩＭＥ）\r\n"
            "★　作成ディレクトリ　．．．　\r\n" +
                Shown("mai") + Sep() + "\r\n");
  EXPECT_EQ(ui.beeps, 4);

  std::ostringstream out, errors;
  ASSERT_EQ(RunTavconv({std::filesystem::path("--mime"), cli / "mail0412.log", cli / "mail0413.log"},
                       out, errors, files),
            kExitOk);
  const auto window = Written(dir.path());
  EXPECT_EQ(window.size(), 2u);
  EXPECT_EQ(window, Written(cli));
  // The reply names the parent read after it.
  EXPECT_NE(window.at(Utf8FromPath(std::filesystem::path("mai/00002.eml").make_preferred()))
                .find("In-Reply-To: <00001.mai@tav.example.jp>"),
            std::string::npos);
}

TEST_F(OutputForms, NoticesComeInOneBoxAtTheEndOfAStandardRunAndNeverInTheLogsOwnForm) {
  // The byte that does not decode in the message read, before the title list.
  WriteFile(dir / "fbbs0412.log",
            test::Sjis(test::CrLfLines({kWithTitleList.begin(), kWithTitleList.begin() + 3})) +
                "\x81 \r\n" +
                test::Sjis(test::CrLfLines({kWithTitleList.begin() + 3, kWithTitleList.end()})));
  WriteLog("mail0412.log", kParentLater);
  files.files[dir / "mail0412.log"] += "\x81 \x81 \r\n";
  ShowAndSelect({"fbbs0412.log", "mail0412.log"});
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(ui.events,
            (Events{"box start?", "status1 working!", "status2 fbbs0412.log", "beep",
                    "status1 working!", "status2 mail0412.log", "beep", "status1 end", "bold",
                    "beep", "beep"}));

  for (const char* folder : {"fbb", "mai"}) files.Remove(dir / folder);
  ui.events.clear();
  ui.boxes.clear();
  g.Output = OutputForm::Mime;
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.events,
            (Events{"box start?", "status1 working!", "status2 fbbs0412.log", "beep",
                    "status1 working!", "status2 mail0412.log", "beep", "box Notice!",
                    "status1 end", "bold", "beep", "beep"}));
  EXPECT_EQ(ui.boxes[1].kind, MsgKind::RunNotices);
  EXPECT_EQ(ui.boxes[1].items,
            (std::vector<std::string>{
                Shown("fbbs0412.log"),
                "　シフトJISとして読めない 1 バイトを「\uFFFD」（U+FFFD）に置き換えました："
                "メッセージ 00231",
                "　タイトル一覧の 1 行は、メッセージではないため書き出していません",
                Shown("mail0412.log"),
                "　シフトJISとして読めない 2 バイトを「\uFFFD」（U+FFFD）に置き換えました："
                "メッセージ 00001"}));
}

// Stands in for the web archive's writer: one destination, no folder per log.
class ArchiveStandIn : public MailWriter {
 public:
  explicit ArchiveStandIn(FileSystem& files, std::filesystem::path dir)
      : files_(files), dir_(std::move(dir)) {}
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override {
    if (failing) return {WriteResult::Status::Failed, dir_, "disk full", 0};
    numbers += std::string(message.MsgNo) + " ";
    return {WriteResult::Status::Written, dir_, {}, 0};
  }
  IoResult Finish() override {
    return files_.WriteWholeFile(JoinPath(dir_, "index.html"), numbers);
  }
  bool failing = false;
  std::string numbers;

 private:
  FileSystem& files_;
  std::filesystem::path dir_;
};

TEST_F(OutputForms, ArchiveRunNamesTheArchiveAndGoesIntoItWithoutTheFolderWarning) {
  WriteLog("mail0412.log", kParentLater);
  WriteLog("mail0413.log", kReplyFirst);
  files.AddFolder(dir / "mai");  // a per-log folder of an earlier run is none of its business
  std::filesystem::path madeFor;
  program.run.makeWriter = [&](OutputForm form, FileSystem& fs, const std::filesystem::path& at) {
    EXPECT_EQ(form, OutputForm::Archive);
    madeFor = at;
    fs.MakeDirectory(at);
    return RunWriter{std::make_unique<ArchiveStandIn>(fs, at), {}, nullptr};
  };
  g.Output = OutputForm::Archive;
  ShowAndSelect({"mail0412.log", "mail0413.log"});
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " start?"}));
  EXPECT_EQ(ui.boxes[1].text,
            "mail0413.log を始めとするログファイルを、\r\n"
            "以下の条件で処理します。よろしいですか？\r\n"
            "\r\n"
            "★　「実行時の注意あり」SemiAuto モード\r\n"
            "★　作成Ｗｅｂアーカイブ　．．．　\r\n" +
                Shown("tav-web") + Sep() + "\r\n");
  EXPECT_EQ(madeFor, dir / "tav-web");
  EXPECT_EQ(ReadFile(dir / "tav-web" / "index.html"), "00001 00002 ");
  EXPECT_EQ(files.Names(dir / "mai"), std::vector<std::string>{});
  EXPECT_EQ(ui.beeps, 4);
}

TEST_F(OutputForms, ArchiveThatFailsStopsTheRunAndOneThatCannotOpenWritesNothing) {
  for (const char* name : {"a.log", "b.log"}) WriteLog(name, kParentLater);
  ArchiveStandIn* archive = nullptr;
  program.run.makeWriter = [&](OutputForm, FileSystem& fs, const std::filesystem::path& at) {
    auto writer = std::make_unique<ArchiveStandIn>(fs, at);
    writer->failing = true;
    archive = writer.get();
    return RunWriter{std::move(writer), {}, [&] { return archive->failing; }};
  };
  g.Output = OutputForm::Archive;
  g.FullAuto = 1;
  ShowAndSelect({"a.log", "b.log"});
  ui.answers = {kOk, kOk};
  Run();
  // One box for the failure, not another for the archive that cannot finish.
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " WriteError!!"}));
  EXPECT_EQ(ui.boxes[1].buttons, Buttons::Ok);
  EXPECT_EQ(ui.panel2, "a.log");
  EXPECT_EQ(ui.panel1, "end");
  EXPECT_FALSE(ui.bold);

  ui.boxes.clear();
  program.run.makeWriter = [](OutputForm, FileSystem& fs, const std::filesystem::path& at) {
    return RunWriter{std::make_unique<ArchiveStandIn>(fs, at), IoResult::Failure("foreign files"),
                     nullptr};
  };
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!"}));
  EXPECT_EQ(ui.boxes[1].kind, MsgKind::ArchiveUnusable);
  EXPECT_FALSE(Exists("tav-web"));
}

TEST_F(OutputForms, ArchiveWithoutItsWriterIsRefusedAndNothingIsWritten) {
  WriteLog("mail0412.log", kParentLater);
  g.Output = OutputForm::Archive;
  ShowAndSelect({"mail0412.log"});
  const auto before = files.files;
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " FormError!!"}));
  EXPECT_EQ(ui.events, (Events{"box start?", "box FormError!!"}));
  EXPECT_EQ(files.files, before);
  EXPECT_FALSE(Exists("tav-web"));
}

}  // namespace
}  // namespace tav
