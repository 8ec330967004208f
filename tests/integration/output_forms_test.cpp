// Runs of the main window in the standard forms: the notices told once at
// the end, and the web archive's run with a writer standing in for its own.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

using Events = std::vector<std::string>;

const std::vector<std::string> kLog = {"001/002  ID000001  佐藤 一郎     最初", "00/04/10 21:47",
                                       "本文"};

using OutputForms = test::LogFixture;

TEST_F(OutputForms, NoticesComeInOneBoxAtTheEndOfAStandardRun) {
  // A message with three bytes that do not decode, then a title list.
  WriteFile(dir / "fbbs0412.log",
            test::Sjis(test::CrLfLines(kLog)) + "\x81 \x81 \x81 \r\n" +
                test::Sjis(test::CrLfLines({kLog[0], "002/002  ID000002  たけし  Re: 最初"})));
  ShowAndSelect({"fbbs0412.log"});
  g.Output = OutputForm::Mime;
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.events, (Events{"box start?", "status1 working!", "status2 fbbs0412.log", "beep",
                               "box Notice!", "status1 end", "bold", "beep", "beep"}));
  EXPECT_EQ(ui.boxes.back().items,
            (Events{Utf8FromPath(dir / "fbbs0412.log"),
                    "　シフトJISとして読めない 3 バイトを「\uFFFD」（U+FFFD）に置き換えました："
                    "メッセージ 00001",
                    "　タイトル一覧の 1 行は、メッセージではないため書き出していません"}));
}

// One destination and no folder per log; Finish writes the numbers it got.
struct ArchiveStandIn : MailWriter {
  ArchiveStandIn(FileSystem& fs, std::filesystem::path at) : files(fs), dir(std::move(at)) {}
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override {
    numbers += std::string(message.MsgNo) + " ";
    return {failing ? WriteResult::Status::Failed : WriteResult::Status::Written, dir, "full", 0};
  }
  IoResult Finish() override { return files.WriteWholeFile(dir / "index.html", numbers); }
  FileSystem& files;
  std::filesystem::path dir;
  std::string numbers;
  bool failing = false;
};

TEST_F(OutputForms, ArchiveRunNamesTheArchiveGoesIntoItUnaskedAndStopsWhenItFails) {
  for (const char* name : {"mail0412.log", "mail0413.log"}) WriteLog(name, kLog);
  files.AddFolder(dir / "mai");  // an earlier run's folder is none of the archive's business
  files.AddFolder(dir / "tav-web");
  bool failing = false;
  program.run.makeWriter = [&](OutputForm form, FileSystem& fs, const std::filesystem::path& at) {
    EXPECT_EQ(form, OutputForm::Archive);
    auto writer = std::make_unique<ArchiveStandIn>(fs, at);
    writer->failing = failing;
    return RunWriter{std::move(writer), {}, [&failing] { return failing; }};
  };
  g.Output = OutputForm::Archive;
  ShowAndSelect({"mail0412.log", "mail0413.log"});
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (Events{" start?", " start?"}));
  EXPECT_TRUE(ui.boxes[1].text.ends_with("★　作成Ｗｅｂアーカイブ　．．．　\r\n" +
                                         Utf8FromPath(dir / "tav-web/") + "\r\n"));
  EXPECT_EQ(ReadFile(dir / "tav-web" / "index.html"), "00001 00001 ");
  EXPECT_EQ(ui.beeps, 4);

  // A write that fails is told once, and no further log is converted.
  failing = true;
  g.FullAuto = 1;
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (Events{" start?", " start?", " start?", " WriteError!!"}));
  EXPECT_EQ(ReadFile(dir / "tav-web" / "index.html"), "00001 ");
  EXPECT_EQ(ui.events.back(), "status1 end");  // without the end beeps
}

}  // namespace
}  // namespace tav
