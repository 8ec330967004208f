// The settings file tav.ini: reading, writing, resetting, the default folder.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

using test::Sjis;

class Settings : public test::LogFixture {
 protected:
  void SetUp() override {
    g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
    g.SettingsPath = dir / "tav.ini";
  }
  void Read(std::string_view bytes) {
    WriteFile(g.SettingsPath, bytes);
    g.ReadSettings();
  }
};

TEST_F(Settings, ResetWritesTheMarkersAndHoldsWhatTheyStandFor) {
  g.ResetSettings();
  EXPECT_EQ(ReadFile(g.SettingsPath), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(g.DefaultDir, "C:\\WINDOWS");
  EXPECT_EQ(g.DirNameLen, 3);
  EXPECT_EQ(g.EditorCommand, "C:\\WINDOWS\\write.exe ");
}

TEST_F(Settings, ValuesAreFoundByPositionNotByKey) {
  Read("[DefaultDir]=Z\r\n[DirName]=5\r\n[Editor]=z\r\n");
  EXPECT_EQ(g.DefaultDir, "Z");  // only a lower-case z is the marker
  EXPECT_EQ(g.EditorCommand, "C:\\WINDOWS\\write.exe ");
  Read("0123456789abcD:\\logs\r\nXXXXXXXXXX7\r\nYYYYYYYYYnotepad.exe\r\n");
  EXPECT_EQ(g.DefaultDir, "D:\\logs");
  EXPECT_EQ(g.DirNameLen, 7);
  EXPECT_EQ(g.EditorCommand, "notepad.exe");  // no final blank: kept as written
  Read("[DefaultDir]=  D:\\a b=c\r\n[DirName]=4\r\n[Editor]= ed  \r\n");
  EXPECT_EQ(g.DefaultDir, "  D:\\a b=c");
  EXPECT_EQ(g.EditorCommand, " ed  ");
}

TEST_F(Settings, LineTwoIsReadAsANumber) {
  struct Case {
    const char* value;
    int expected;
  };
  for (const Case& c : {Case{"5", 5},
                        {"5 and more", 5},
                        {"", 0},
                        {"x5", 0},
                        {"2.5", 2},
                        {"3.5", 4},
                        {"-3", -3},
                        {"32767", 32767},
                        {"32768", 0},
                        {"-40000", 0},
                        {" \t6", 6},
                        {"1e2", 100}}) {
    Read(std::string("[DefaultDir]=d\r\n[DirName]=") + c.value + "\r\n[Editor]=e\r\n");
    EXPECT_EQ(g.DirNameLen, c.expected) << c.value;
  }
}

TEST_F(Settings, MissingLinesReadAsEmptyAndLaterLinesAreIgnored) {
  Read("[DefaultDir]=D:\\only");
  EXPECT_EQ(g.DefaultDir, "D:\\only");
  EXPECT_EQ(g.DirNameLen, 0);
  EXPECT_EQ(g.EditorCommand, "");
  Read("");
  EXPECT_EQ(g.DefaultDir, "");
  Read("[DefaultDir]=a\n[DirName]=2\r[Editor]=b\r\n[More]=x\r\n");
  EXPECT_EQ(g.DefaultDir, "a");
  EXPECT_EQ(g.DirNameLen, 2);
  EXPECT_EQ(g.EditorCommand, "b");
}

TEST_F(Settings, LineFourHoldsTheOutputFormOnceChosenAndAResetWritesThreeLines) {
  const std::string three = "[DefaultDir]=D:\\logs\r\n[DirName]=4\r\n[Editor]=ed \r\n";
  for (const auto& [line, form] : {std::pair{"[Output]=mime", OutputForm::Mime},
                                   {"XXXXXXXXXhtml", OutputForm::Archive},  // by position
                                   {"[Output]=MIME", OutputForm::Log},
                                   {"[Output]=html ", OutputForm::Log}}) {
    Read(three + line + "\r\n");
    EXPECT_EQ(g.Output, form) << line;
    EXPECT_EQ(g.EditorCommand, "ed ");
  }
  // A file of three lines from before is the log's own form, and stays three lines.
  Read(three);
  EXPECT_EQ(g.Output, OutputForm::Log);
  ASSERT_TRUE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), three);

  g.ProgramDir = dir.path();
  g.ChooseOutputForm(OutputForm::Archive);
  EXPECT_EQ(ReadFile(g.SettingsPath), three + "[Output]=html\r\n");
  g.ResetSettings();
  EXPECT_EQ(ReadFile(g.SettingsPath), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(g.Output, OutputForm::Log);
}

TEST_F(Settings, CharacterPositionsCountDoubleByteCharactersOnce) {
  // A key written with double-byte characters still has 13 characters.
  Read(Sjis("［ＤｅｆａｕｌｔＤｉｒ］＝") + "X" + Sjis("ログ") + "\r\n");
  EXPECT_EQ(g.DefaultDir, "X" + Sjis("ログ"));
}

TEST_F(Settings, MissingFileGivesTheResetValuesAndWritesNothing) {
  g.ReadSettings();
  EXPECT_EQ(g.DefaultDir, "C:\\WINDOWS");
  EXPECT_EQ(g.DirNameLen, 3);
  EXPECT_EQ(g.EditorCommand, "C:\\WINDOWS\\write.exe ");
  EXPECT_FALSE(files.Exists(g.SettingsPath));
}

TEST_F(Settings, WriteStoresTheValuesAsHeldAndReadsBackTheSame) {
  g.DefaultDir = "C:\\WINDOWS";
  g.DirNameLen = -12;
  g.EditorCommand = Sjis("C:\\エディタ\\ed.exe ");
  ASSERT_TRUE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), "[DefaultDir]=C:\\WINDOWS\r\n[DirName]=-12\r\n[Editor]=" +
                                          Sjis("C:\\エディタ\\ed.exe ") + "\r\n");
  g.ReadSettings();
  EXPECT_EQ(g.DirNameLen, -12);
  EXPECT_EQ(g.EditorCommand, Sjis("C:\\エディタ\\ed.exe "));
}

TEST_F(Settings, BytesThatAreNotCodePage932SurviveAReadAndWrite) {
  const std::string odd =
      std::string("[DefaultDir]=a\x80\xFF\x82", 17) + "\r\n[DirName]=3\r\n[Editor]=\x81\r\n";
  Read(odd);
  ASSERT_TRUE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), odd);
}

TEST_F(Settings, ReadOnlyFileIsNotReplacedAndTheFailureIsShown) {
  WriteFile(g.SettingsPath, "[DefaultDir]=old\r\n");
  files.readOnly.insert(g.SettingsPath);
  ui.answers = {kOk};
  EXPECT_FALSE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), "[DefaultDir]=old\r\n");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::SettingsUnwritable);
  EXPECT_NE(ui.boxes[0].text.find(Utf8FromPath(g.SettingsPath)), std::string::npos);

  // A reset that cannot write still leaves the reset values in memory.
  ui.answers = {kOk};
  g.DefaultDir = "elsewhere";
  g.ResetSettings();
  EXPECT_EQ(g.DefaultDir, "C:\\WINDOWS");
  EXPECT_EQ(g.EditorCommand, "C:\\WINDOWS\\write.exe ");
}

TEST_F(Settings, WriteIntoAMissingFolderIsReported) {
  g.SettingsPath = dir / "gone" / "tav.ini";
  ui.answers = {kOk};
  EXPECT_FALSE(g.WriteSettings());
  EXPECT_EQ(ui.boxes.at(0).title, " IniError!!");
  EXPECT_FALSE(files.Exists(dir / "gone"));
}

TEST_F(Settings, StoreDefaultDirTakesTheShownDirectory) {
  ui.caption = dir / "ログ";
  g.DirNameLen = 4;
  g.EditorCommand = "ed ";
  g.StoreDefaultDir();
  EXPECT_EQ(g.DefaultDir, Sjis(Utf8FromPath(dir / "ログ")));
  EXPECT_EQ(ui.dirListPath, dir / "ログ");
  EXPECT_EQ(ReadFile(g.SettingsPath),
            "[DefaultDir]=" + g.DefaultDir + "\r\n[DirName]=4\r\n[Editor]=ed \r\n");
}

TEST_F(Settings, StoreDefaultDirRefusesAPathThatCodePage932CannotHold) {
  ui.caption = dir / "\xF0\x9F\x98\x80";  // an emoji
  g.DefaultDir = "before";
  ui.answers = {kOk};
  g.StoreDefaultDir();
  EXPECT_EQ(g.DefaultDir, "before");
  EXPECT_EQ(ui.boxes.at(0).kind, MsgKind::NotStorable);
  EXPECT_FALSE(files.Exists(g.SettingsPath));
  EXPECT_TRUE(ui.dirListPath.empty());
}

}  // namespace
}  // namespace tav
