// Opening the selected logs in the editor, choosing the editor, opening tav.ini.
#include <gtest/gtest.h>

#include "support/fake_shell.h"
#include "fake_file_system.h"
#include "platform/paths.h"
#include "global/program.h"
#include "scripted_ui.h"

namespace tav::test {
namespace {

#ifdef _WIN32
const std::string kRoot = "C:\\";
const std::string kSep = "\\";
#else
const std::string kRoot = "/";
const std::string kSep = "/";
#endif

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    g.ProgramDir = PathFromUtf8(kRoot + "tav");
    g.SettingsPath = PathFromUtf8(kRoot + "tav" + kSep + "tav.ini");
    g.DefaultDir = "D:\\logs";
    g.DirNameLen = 4;
    g.EditorCommand = "ed.exe ";
    ui.caption = PathFromUtf8(kRoot + "logs");
    files.AddFolder(g.ProgramDir);
  }
  void List(std::initializer_list<std::pair<const char*, bool>> entries) {
    for (const auto& [name, selected] : entries) ui.files.push_back({PathFromUtf8(name), selected});
  }
  std::string Settings() { return files.files[g.SettingsPath]; }

  ScriptedUi ui;
  FakeFileSystem files;
  FakeShell shell;
  Program program{ui, files, &shell};
  Global& g = program.global;
};

TEST_F(EditorTest, OpensEachSelectedFileInListOrder) {
  List({{"a.log", true}, {"b.log", false}, {"c.log", true}, {"d.log", true}});
  g.OpenSelectedInEditor();
  const std::string dir = kRoot + "logs" + kSep;
  EXPECT_EQ(shell.started,
            (std::vector<std::string>{"ed.exe " + dir + "a.log", "ed.exe " + dir + "c.log",
                                      "ed.exe " + dir + "d.log"}));
  // The slots keep the list positions; unselected ones stay empty.
  ASSERT_EQ(g.SelectedNames.size(), 4u);
  EXPECT_EQ(g.SelectedNames[1], std::filesystem::path());
  EXPECT_EQ(g.SelectedNames[2], std::filesystem::path("c.log"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EditorTest, NoSelectionOrEmptyListStartsNothing) {
  g.OpenSelectedInEditor();
  List({{"a.log", false}});
  g.OpenSelectedInEditor();
  EXPECT_TRUE(shell.started.empty());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EditorTest, QuotesPathsWithBlanksAndJoinsRootWithoutDoubling) {
  ui.caption = PathFromUtf8(kRoot);
  List({{"my log.log", true}, {"ログ.log", true}});
  g.OpenSelectedInEditor();
  EXPECT_EQ(shell.started, (std::vector<std::string>{"ed.exe \"" + kRoot + "my log.log\"",
                                                     "ed.exe " + kRoot + "ログ.log"}));
}

TEST_F(EditorTest, HandWrittenCommandIsUsedAsWritten) {
  // Without a final blank the path runs straight onto the program's name.
  g.EditorCommand = "ed.exe";
  List({{"a.log", true}});
  g.OpenSelectedInEditor();
  EXPECT_EQ(shell.started, (std::vector<std::string>{"ed.exe" + kRoot + "logs" + kSep + "a.log"}));

  // Code page 932 text in the command reaches the command line as characters.
  shell.started.clear();
  g.EditorCommand = "\x83\x81\x83\x82.exe ";  // メモ.exe
  g.OpenSelectedInEditor();
  EXPECT_EQ(shell.started,
            (std::vector<std::string>{"メモ.exe " + kRoot + "logs" + kSep + "a.log"}));
}

TEST_F(EditorTest, EditorThatCannotStartIsReportedOnceByItsCommandLine) {
  List({{"a.log", true}, {"b.log", true}});
  const std::string first = "ed.exe " + kRoot + "logs" + kSep + "a.log";
  shell.failingStarts.insert(first);
  ui.answers = {kOk};
  g.OpenSelectedInEditor();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::StartFailed);
  EXPECT_EQ(ui.boxes[0].buttons, Buttons::Ok);
  EXPECT_NE(ui.boxes[0].text.find(first), std::string::npos);
  EXPECT_NE(ui.boxes[0].text.find("file not found"), std::string::npos);
  EXPECT_TRUE(shell.started.empty());
}

TEST_F(EditorTest, ConfirmedChoiceBecomesTheEditorAndIsWritten) {
  List({{"a.log", false}, {"edit.exe", true}, {"z.exe", true}});
  ui.answers = {kOk};
  EXPECT_TRUE(g.ChooseEditor());

  const std::string candidate = kRoot + "logs" + kSep + "edit.exe ";
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::EditorChoice);
  EXPECT_EQ(ui.boxes[0].title, " Editor?");
  EXPECT_EQ(ui.boxes[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(ui.boxes[0].icon, Icon::None);
  EXPECT_EQ(ui.boxes[0].text, "呼び出すエディタを．．．\r\n\r\n" + candidate +
                                  "\r\n\r\n．．．に設定します。よろしいですか？");
  EXPECT_EQ(g.EditorCommand, candidate);
  // The other two settings are written with it.
  EXPECT_EQ(Settings(), "[DefaultDir]=D:\\logs\r\n[DirName]=4\r\n[Editor]=" + candidate + "\r\n");

  // The next open command uses the new editor.
  g.OpenSelectedInEditor();
  EXPECT_EQ(shell.started.at(0), candidate + kRoot + "logs" + kSep + "edit.exe");
}

TEST_F(EditorTest, ProgramPathWithBlankIsStoredQuotedAndShownAsStored) {
  ui.caption = PathFromUtf8(kRoot + "Program Files" + kSep + "ed");
  List({{"ed.exe", true}});
  ui.answers = {kOk};
  EXPECT_TRUE(g.ChooseEditor());
  const std::string stored = "\"" + kRoot + "Program Files" + kSep + "ed" + kSep + "ed.exe\" ";
  EXPECT_EQ(g.EditorCommand, stored);
  EXPECT_NE(ui.boxes.at(0).text.find("\r\n" + stored + "\r\n"), std::string::npos);
}

TEST_F(EditorTest, CancelLeavesEditorAndFileAlone) {
  List({{"edit.exe", true}});
  ui.answers = {kCancel};
  EXPECT_FALSE(g.ChooseEditor());
  EXPECT_EQ(g.EditorCommand, "ed.exe ");
  EXPECT_TRUE(files.files.empty());
}

TEST_F(EditorTest, ChoiceWithoutSelectionOffersAnEmptyEditor) {
  List({{"a.log", false}});
  ui.answers = {kOk};
  EXPECT_TRUE(g.ChooseEditor());
  EXPECT_EQ(ui.boxes.at(0).text,
            "呼び出すエディタを．．．\r\n\r\n\r\n\r\n．．．に設定します。よろしいですか？");
  EXPECT_EQ(g.EditorCommand, "");
  EXPECT_EQ(Settings(), "[DefaultDir]=D:\\logs\r\n[DirName]=4\r\n[Editor]=\r\n");
}

TEST_F(EditorTest, ChoiceThatTavIniCannotHoldIsRefused) {
  List({{"\xF0\x9F\x93\x9D.exe", true}});  // an emoji: not in code page 932
  ui.answers = {kOk};
  EXPECT_FALSE(g.ChooseEditor());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::NotStorable);
  EXPECT_EQ(g.EditorCommand, "ed.exe ");
  EXPECT_TRUE(files.files.empty());
}

TEST_F(EditorTest, SettingsFileOpensInTheEditor) {
  g.OpenSettingsInEditor();
  g.ProgramDir = PathFromUtf8(kRoot + "my tools");
  g.OpenSettingsInEditor();
  EXPECT_EQ(shell.started,
            (std::vector<std::string>{"ed.exe " + kRoot + "tav" + kSep + "tav.ini",
                                      "ed.exe \"" + kRoot + "my tools" + kSep + "tav.ini\""}));
}

}  // namespace
}  // namespace tav::test
