// Conversion runs as the main window starts them: confirmations, the skip
// prompt, the existing-folder warning, failures, beeps and the status bar.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

using Events = std::vector<std::string>;

const std::vector<std::string> kLog = {
    "001/002  ID000001  Taro     First",
    "00/04/10 21:47",
    "body one",
    "002/002  ID000002  Jiro     Second",
    "00/04/11 21:47  001へのコメント",
    "body two",
};

class ConversionRun : public test::LogFixture {
 protected:
  std::string Sep() const { return Utf8FromPath(std::filesystem::path("/").make_preferred()); }
  std::string Shown(std::string_view relative) const {
    return Utf8FromPath((dir / relative).make_preferred());
  }
};

TEST_F(ConversionRun, OneFileIsConfirmedConvertedAndEnded) {
  WriteLog("mail0412.log", kLog);
  ShowAndSelect({"mail0412.log"});
  ui.answers = {kOk};
  Run();
  ASSERT_EQ(ui.boxes.size(), 1u);
  const MsgBox& box = ui.boxes[0];
  EXPECT_EQ(box.title, " start?");
  EXPECT_EQ(box.buttons, Buttons::OkCancel);
  EXPECT_EQ(box.icon, Icon::None);
  EXPECT_EQ(box.text,
            "mail0412.log を始めとするログファイルを、\r\n"
            "以下の条件で処理します。よろしいですか？\r\n"
            "\r\n"
            "★　「実行時の注意あり」SemiAuto モード\r\n"
            "★　作成ディレクトリ　．．．　\r\n" +
                Shown("mai") + Sep() + "\r\n");
  EXPECT_EQ(ui.events, (Events{"box start?", "status1 working!", "status2 mail0412.log", "beep",
                               "status1 end", "bold", "beep", "beep"}));
  EXPECT_TRUE(Exists("mai/00001.eml"));
  EXPECT_TRUE(Exists("mai/00002.eml"));
  EXPECT_EQ(g.DirNameLen, 3);
}

TEST_F(ConversionRun, DecomposedNameIsShownAsItIsAndConvertedIntoTheComposedFolder) {
  const std::string decomposed = "\u30AB\u3099\u30A4\u30C8\u3099" "0412.log";  // ガイド0412.log
  WriteLog(decomposed, kLog);
  ShowAndSelect({decomposed});
  ui.answers = {kOk};
  Run();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(ui.boxes[0].text.starts_with(decomposed + " を始めとする"));
  EXPECT_TRUE(ui.boxes[0].text.ends_with("\r\n" + Shown("ガイド") + Sep() + "\r\n"));
}

TEST_F(ConversionRun, FullAutoConfirmsOnlyTheFirstFile) {
  for (const char* name : {"aa1.log", "bb2.log", "cc3.log"}) WriteLog(name, kLog);
  ShowAndSelect({"aa1.log", "bb2.log", "cc3.log"});
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].text.find("aa1.log を始めとする"), std::string::npos);
  EXPECT_NE(ui.boxes[0].text.find("★　「実行時の注意無し」 FullAuto モード\r\n"),
            std::string::npos);
  EXPECT_EQ(ui.beeps, 5);
  for (const char* folder : {"aa1", "bb2", "cc3"}) {
    EXPECT_TRUE(Exists(std::string(folder) + "/00002.eml")) << folder;
  }
}

TEST_F(ConversionRun, CancelAtTheFirstConfirmationTouchesNothing) {
  WriteLog("a.log", kLog);
  ShowAndSelect({"a.log"});
  ui.answers = {kCancel};
  Run();
  EXPECT_EQ(ui.events, (Events{"box start?", "status1 end", "bold", "beep", "beep"}));
  EXPECT_EQ(ui.panel2, "file ");
  EXPECT_FALSE(Exists("a.l"));
}

TEST_F(ConversionRun, SemiAutoConfirmsEveryFileAndCancelKeepsWhatWasDone) {
  for (const char* name : {"aa1.log", "bb2.log", "cc3.log"}) WriteLog(name, kLog);
  ShowAndSelect({"aa1.log", "bb2.log", "cc3.log"});
  ui.answers = {kOk, kCancel};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " start?"}));
  EXPECT_NE(ui.boxes[1].text.find("bb2.log を始めとする"), std::string::npos);
  EXPECT_TRUE(Exists("aa1/00001.eml"));
  EXPECT_FALSE(Exists("bb2"));
  EXPECT_EQ(ui.panel1, "end");
  EXPECT_TRUE(ui.bold);
  EXPECT_EQ(ui.beeps, 3);
}

TEST_F(ConversionRun, UnselectedEntriesArePassedOverAndNamesKeepTheirPositions) {
  for (const char* name : {"a.log", "b.log", "c.log", "d.log"}) WriteLog(name, kLog);
  ShowAndSelect({"b.log", "d.log"});
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(g.SelectedNames, (std::vector<std::filesystem::path>{"", "b.log", "", "d.log"}));
  EXPECT_FALSE(Exists("a.l"));
  EXPECT_TRUE(Exists("d.l/00001.eml"));
}

TEST_F(ConversionRun, NameShorterThanTheFolderLengthIsTheWholeFolderName) {
  WriteLog("ab", kLog);
  ShowAndSelect({"ab"});
  ui.answers = {kCancel};
  Run();
  EXPECT_TRUE(ui.boxes[0].text.ends_with(Shown("ab") + Sep() + "\r\n"));
}

TEST_F(ConversionRun, NumberBoxIsReadWithRoundingOrTheRunIsRefused) {
  WriteLog("abcdef.log", kLog);
  ShowAndSelect({"abcdef.log"});
  g.FullAuto = 1;
  ui.numberBox = " 4.5 ";
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(g.DirNameLen, 4);
  EXPECT_TRUE(Exists("abcd/00001.eml"));

  for (const char* bad : {"0", "-1", "x", "", "32768", "1e9"}) {
    ui.numberBox = bad;
    ui.events.clear();
    ui.answers = {kOk};
    Run();
    EXPECT_EQ(ui.boxes.back().title, " Directory Name?") << bad;
    EXPECT_EQ(ui.boxes.back().buttons, Buttons::Ok);
    EXPECT_EQ(ui.boxes.back().icon, Icon::Exclamation);
    EXPECT_EQ(ui.events, (Events{"box Directory Name?"})) << bad;
    EXPECT_EQ(g.DirNameLen, 4);
  }
}

TEST_F(ConversionRun, EmptyListOrNothingSelectedJustEnds) {
  ShowAndSelect({});
  Run();
  EXPECT_EQ(ui.events, (Events{"status1 end", "bold", "beep", "beep"}));
}

TEST_F(ConversionRun, NotALogIsSkippedWithItsBeepOrStopsTheRun) {
  WriteLog("a.log", {"hello"});
  WriteLog("b.log", kLog);
  ShowAndSelect({"a.log", "b.log"});
  ui.answers = {kOk, kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " log?", " start?"}));
  EXPECT_FALSE(Exists("a.l"));
  EXPECT_TRUE(Exists("b.l/00001.eml"));
  EXPECT_EQ(ui.beeps, 4);

  ui.events.clear();
  ui.answers = {kOk, kCancel};
  Run();
  EXPECT_EQ(ui.events,
            (Events{"box start?", "status1 working!", "status2 a.log", "box log?", "status1 end"}));
}

TEST_F(ConversionRun, ExistingFolderIsWarnedAboutInSemiAutoMode) {
  WriteLog("abc1.log", kLog);
  WriteLog("abc2.log", kLog);
  files.AddFolder(dir / "abc");
  WriteFile(dir / "abc" / "00001.eml", "old");
  WriteFile(dir / "abc" / "other.txt", "kept");
  ShowAndSelect({"abc1.log", "abc2.log"});
  ui.answers = {kOk, kNo, kOk, kYes};
  Run();
  EXPECT_EQ(ui.Titles(),
            (std::vector<std::string>{" start?", " DiskError!!", " start?", " DiskError!!"}));
  const MsgBox& warning = ui.boxes[1];
  EXPECT_EQ(warning.buttons, Buttons::YesNo);
  EXPECT_EQ(warning.icon, Icon::Exclamation);
  EXPECT_EQ(warning.text,
            "パス名が無効です。\r\n"
            "ディレクトリに上書きしようとしている可能性があります。\r\n"
            "よろしいですか？");
  // No skipped the first log, Yes converted the second into the folder.
  EXPECT_NE(ReadFile(dir / "abc" / "00001.eml"), "old");
  EXPECT_EQ(ReadFile(dir / "abc" / "other.txt"), "kept");
  EXPECT_EQ(ui.beeps, 4);
}

TEST_F(ConversionRun, ExistingFolderIsUsedSilentlyInFullAutoMode) {
  WriteLog("abc1.log", kLog);
  WriteLog("abc2.log", kLog);
  ShowAndSelect({"abc1.log", "abc2.log"});
  g.FullAuto = 1;
  ui.answers = {kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?"}));
  EXPECT_EQ(files.madeFolders, (std::vector<std::filesystem::path>{dir / "abc"}));
  EXPECT_TRUE(Exists("abc/00002.eml"));
}

TEST_F(ConversionRun, FolderNameOfTheWholeFileNameIsTheFileItself) {
  WriteLog("ab.log", kLog);
  WriteLog("cd.log", kLog);
  ShowAndSelect({"ab.log", "cd.log"});
  ui.numberBox = "9";
  // Semi-auto: the warning first, then the folder cannot be made: OK skips.
  ui.answers = {kOk, kYes, kOk, kOk, kYes, kCancel};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!", " DiskError!!",
                                                   " start?", " DiskError!!", " DiskError!!"}));
  EXPECT_EQ(ui.boxes[2].kind, MsgKind::FolderUnusable);
  EXPECT_EQ(ui.boxes[2].buttons, Buttons::OkCancel);
  EXPECT_NE(ui.boxes[2].text.find(Shown("ab.log")), std::string::npos);
  // Cancel at the second stopped the run: no end beeps, no bold.
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_FALSE(ui.bold);
  EXPECT_EQ(ui.panel1, "end");
  EXPECT_EQ(ReadFile(dir / "ab.log"), test::Sjis(test::CrLfLines(kLog)));
}

TEST_F(ConversionRun, FolderThatCannotBeMadeIsReportedInBothModes) {
  WriteLog("a.log", kLog);
  WriteLog("b.log", kLog);
  ShowAndSelect({"a.log", "b.log"});
  g.FullAuto = 1;
  files.failMakeDirectory = [](const std::filesystem::path&) { return "No space left on device"; };
  ui.answers = {kOk, kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!", " DiskError!!"}));
  EXPECT_EQ(
      ui.boxes[1].text,
      "出力フォルダを作成できませんでした。\r\n" + Shown("a.l") +
          "\r\n（No space left on device）\r\nこのファイルをスキップして処理を続けますか？\r\n");
  EXPECT_EQ(ui.beeps, 4);  // both logs were handled
  EXPECT_TRUE(ui.bold);
}

TEST_F(ConversionRun, UnsafeFolderNamesAreRefused) {
  for (const char* name : {"conx.log", "ab..log", "xy .log", "..log"}) WriteLog(name, kLog);
  ShowAndSelect({"conx.log", "ab..log", "xy .log"});
  g.FullAuto = 1;
  ui.answers = {kOk, kOk, kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(),
            (std::vector<std::string>{" start?", " DiskError!!", " DiskError!!", " DiskError!!"}));
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(ui.boxes[i].kind, MsgKind::FolderNameUnsafe);
  EXPECT_EQ(ui.boxes[1].text,
            "出力フォルダの名前に使えない名前です。\r\n" + Shown("ab.") +
                "\r\n（「.」「..」、ピリオドか空白で終わる名前、CON・PRN・AUX・NUL・COM1～COM9・"
                "LPT1～LPT9・COM¹～COM³・LPT¹～LPT³ は使えません）\r\n"
                "このファイルをスキップして処理を続けますか？\r\n");
  EXPECT_EQ(ui.beeps, 5);

  ui.boxes.clear();
  ui.numberBox = "2";
  ShowAndSelect({"..log"});
  ui.answers = {kOk, kOk};
  Run();
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].kind, MsgKind::FolderNameUnsafe);
  EXPECT_FALSE(Exists("00001.eml"));
  EXPECT_FALSE(files.Exists(dir.path().parent_path() / "00001.eml"));
}

TEST_F(ConversionRun, LogThatCannotBeReadIsReported) {
  WriteLog("a.log", kLog);
  WriteLog("b.log", kLog);
  ShowAndSelect({"a.log", "b.log"});
  g.FullAuto = 1;
  files.failRead = [this](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path == dir / "a.log") return "Input/output error";
    return std::nullopt;
  };
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " FileError!!"}));
  EXPECT_EQ(ui.boxes[1].text,
            "ログファイルを読み込めませんでした。\r\n" + Shown("a.log") +
                "\r\n（Input/output error）\r\nこのファイルをスキップして処理を続けますか？\r\n");
  EXPECT_FALSE(Exists("a.l"));
  EXPECT_TRUE(Exists("b.l/00002.eml"));
  EXPECT_EQ(g.Answer, kOk);
}

TEST_F(ConversionRun, VanishedLogIsReportedAndCancelStops) {
  WriteLog("a.log", kLog);
  WriteLog("b.log", kLog);
  ShowAndSelect({"a.log", "b.log"});
  files.Remove(dir / "a.log");
  g.FullAuto = 1;
  ui.answers = {kOk, kCancel};
  Run();
  EXPECT_EQ(ui.boxes[1].kind, MsgKind::LogUnreadable);
  EXPECT_FALSE(Exists("b.l"));
  EXPECT_EQ(ui.beeps, 0);
  EXPECT_FALSE(ui.bold);
}

TEST_F(ConversionRun, WriteFailureSkipsTheRestOfTheLogOrStopsTheRun) {
  WriteLog("a.log", kLog);
  WriteLog("b.log", kLog);
  ShowAndSelect({"a.log", "b.log"});
  g.FullAuto = 1;
  files.failWrite = [this](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path == dir / "a.l" / "00001.eml") return "No space left on device";
    return std::nullopt;
  };
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " WriteError!!"}));
  EXPECT_EQ(ui.boxes[1].text, "ＥＭＬファイルを書き込めませんでした。\r\n" +
                                  Shown("a.l/00001.eml") +
                                  "\r\n（No space left on device）\r\n"
                                  "このログの残りをスキップして処理を続けますか？\r\n");
  EXPECT_FALSE(Exists("a.l/00002.eml"));  // the rest of that log was skipped
  EXPECT_TRUE(Exists("b.l/00002.eml"));
  EXPECT_EQ(ui.beeps, 4);

  files.Remove(dir / "b.l");
  ui.answers = {kOk, kCancel};
  ui.events.clear();
  Run();
  EXPECT_EQ(ui.events.back(), "status1 end");
  EXPECT_FALSE(Exists("b.l"));
}

TEST_F(ConversionRun, NumbersThatCannotBeFileNamesAreListedAfterTheLog) {
  WriteLog("a.log", {"001/003  ID000001  Taro     One", "00/01/01 00:00",
                     "00002/00003  ID000002  Jiro     Two", "00/01/01 00:00"});
  ShowAndSelect({"a.log"});
  ui.answers = {kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " MsgNo?"}));
  const MsgBox& box = ui.boxes[1];
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.icon, Icon::Exclamation);
  EXPECT_EQ(box.items, (std::vector<std::string>{"001/0"}));
  EXPECT_EQ(box.text, "次のメッセージ番号はファイル名にできないため、書き出しませんでした。\r\n" +
                          Shown("a.log") + "\r\n　001/0\r\n");
  EXPECT_TRUE(Exists("a.l/00002.eml"));
  EXPECT_EQ(ui.beeps, 3);
}

TEST_F(ConversionRun, SettingsWrittenAfterARunStoreItsFolderLength) {
  WriteLog("abcdefgh.log", kLog);
  ShowAndSelect({"abcdefgh.log"});
  ui.numberBox = "7";
  ui.answers = {kOk};
  Run();
  g.SettingsPath = dir / "tav.ini";
  g.WriteSettings();
  EXPECT_NE(ReadFile(dir / "tav.ini").find("[DirName]=7\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tav
