// Runs of the main window in the standard forms: the notices told once at
// the end, and the web archive's run, with a writer standing in for the
// archive's.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

using Events = std::vector<std::string>;

const std::vector<std::string> kLog = {"001/002  ID000001  佐藤 一郎     最初", "00/04/10 21:47",
                                       "本文"};

class OutputForms : public test::LogFixture {
 protected:
  std::string Shown(std::string_view relative) const {
    return Utf8FromPath((dir / relative).make_preferred());
  }
};

TEST_F(OutputForms, NoticesComeInOneBoxAtTheEndOfAStandardRunAndNeverInTheLogsOwnForm) {
  // A message with three bytes that do not decode, then a title list.
  WriteFile(dir / "fbbs0412.log",
            test::Sjis(test::CrLfLines(kLog)) + "\x81 \x81 \x81 \r\n" +
                test::Sjis(test::CrLfLines({kLog[0], "002/002  ID000002  たけし  Re: 最初"})));
  WriteLog("mail0412.log", kLog);
  ShowAndSelect({"fbbs0412.log", "mail0412.log"});
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(ui.Titles(), Events{" start?"});

  for (const char* folder : {"fbb", "mai"}) files.Remove(dir / folder);
  g.Output = OutputForm::Mime;
  ui.events.clear();
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.events, (Events{"box start?", "status1 working!", "status2 fbbs0412.log", "beep",
                               "status1 working!", "status2 mail0412.log", "beep", "box Notice!",
                               "status1 end", "bold", "beep", "beep"}));
  EXPECT_EQ(ui.boxes.back().items,
            (Events{Shown("fbbs0412.log"),
                    "　シフトJISとして読めない 3 バイトを「\uFFFD」（U+FFFD）に置き換えました："
                    "メッセージ 00001",
                    "　タイトル一覧の 1 行は、メッセージではないため書き出していません"}));
}

// One destination, no folder per log; Finish writes what it was given.
class ArchiveStandIn : public MailWriter {
 public:
  ArchiveStandIn(FileSystem& files, std::filesystem::path dir) : files_(files), dir_(dir) {}
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override {
    if (failing) return {WriteResult::Status::Failed, dir_, "disk full", 0};
    numbers += std::string(message.MsgNo) + " ";
    return {};
  }
  IoResult Finish() override { return files_.WriteWholeFile(dir_ / "index.html", numbers); }
  bool failing = false;
  std::string numbers;

 private:
  FileSystem& files_;
  std::filesystem::path dir_;
};

TEST_F(OutputForms, ArchiveRunNamesTheArchiveGoesIntoItUnaskedAndStopsWhenItFails) {
  for (const char* name : {"mail0412.log", "mail0413.log"}) WriteLog(name, kLog);
  files.AddFolder(dir / "mai");  // an earlier run's folder is none of the archive's business
  files.AddFolder(dir / "tav-web");
  ArchiveStandIn* archive = nullptr;
  program.run.makeWriter = [&](OutputForm form, FileSystem& fs, const std::filesystem::path& at) {
    EXPECT_EQ(form, OutputForm::Archive);
    auto writer = std::make_unique<ArchiveStandIn>(fs, at);
    archive = writer.get();
    return RunWriter{std::move(writer), {}, [&] { return archive->failing; }};
  };
  g.Output = OutputForm::Archive;
  ShowAndSelect({"mail0412.log", "mail0413.log"});
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (Events{" start?", " start?"}));
  EXPECT_TRUE(ui.boxes[1].text.ends_with("★　作成Ｗｅｂアーカイブ　．．．　\r\n" + Shown("tav-web/") +
                                         "\r\n"));
  EXPECT_EQ(ReadFile(dir / "tav-web" / "index.html"), "00001 00001 ");
  EXPECT_EQ(ui.beeps, 4);

  // A write that fails is told once, and no further log is converted.
  program.run.makeWriter = [&](OutputForm, FileSystem& fs, const std::filesystem::path& at) {
    auto writer = std::make_unique<ArchiveStandIn>(fs, at);
    writer->failing = true;
    archive = writer.get();
    return RunWriter{std::move(writer), {}, [&] { return archive->failing; }};
  };
  g.FullAuto = 1;
  ui.boxes.clear();
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (Events{" start?", " WriteError!!"}));
  EXPECT_EQ(ui.panel2, "mail0412.log");
  EXPECT_EQ(ui.events.back(), "status1 end");  // without the end beeps
}

}  // namespace
}  // namespace tav
