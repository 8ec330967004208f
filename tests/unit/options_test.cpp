// The options dialog's logic: the number that "set" stores, its star lines
// and its paragraphs.
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "support/log_fixture.h"

namespace tav {
namespace {

using test::Sjis;

class Options : public test::LogFixture {
 protected:
  void SetUp() override {
    g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
    g.ProgramDir = dir.path();
    g.DefaultDir = Sjis("D:\\ログ");
    g.EditorCommand = "ed.exe ";
    g.DirNameLen = 3;
  }
  std::filesystem::path Ini() const { return dir / "tav.ini"; }
};

TEST_F(Options, SetStoresTheNumberTheBoxBeginsWith) {
  struct Case {
    const char* text;
    int stored;
  };
  for (const Case& c : {Case{"5", 5},
                        {"12", 12},
                        {"2.5", 2},
                        {"3.5", 4},
                        {"text", 0},
                        {"", 0},
                        {" 7 letters", 7},
                        {"-32768", -32768},
                        {"32767", 32767}}) {
    ASSERT_TRUE(g.StoreDirNameLen(c.text)) << c.text;
    EXPECT_EQ(g.DirNameLen, c.stored) << c.text;
    EXPECT_EQ(ReadFile(Ini()), "[DefaultDir]=" + Sjis("D:\\ログ") + "\r\n[DirName]=" +
                                   std::to_string(c.stored) + "\r\n[Editor]=ed.exe \r\n")
        << c.text;
  }
  EXPECT_EQ(g.SettingsPath, Ini());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Options, SetRefusesANumberOutsideTheSixteenBitRange) {
  for (const char* text : {"32768", "-32769", "1e9", "99999999999999999999"}) {
    ui.answers = {kOk};
    EXPECT_FALSE(g.StoreDirNameLen(text)) << text;
    EXPECT_EQ(g.DirNameLen, 3) << text;
    ASSERT_EQ(ui.boxes.size(), 1u) << text;
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::BadFolderNameLen);
    EXPECT_EQ(ui.boxes[0].title, " Directory Name?");
    EXPECT_NE(ui.boxes[0].text.find(text), std::string::npos);
    ui.boxes.clear();
  }
  EXPECT_FALSE(files.Exists(Ini()));
}

TEST_F(Options, SetThatCannotWriteNamesTheFile) {
  files.failWrite = [](const std::filesystem::path&) { return "access denied"; };
  ui.answers = {kOk};
  EXPECT_FALSE(g.StoreDirNameLen("5"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::SettingsUnwritable);
  EXPECT_NE(ui.boxes[0].text.find(Utf8FromPath(Ini())), std::string::npos);
  EXPECT_NE(ui.boxes[0].text.find("access denied"), std::string::npos);
  // The value stays in memory: the next write that works stores it.
  EXPECT_EQ(g.DirNameLen, 5);
}

TEST_F(Options, StarLinesShowTheSettingsAsTheyAre) {
  g.ApplyResetValues();
  // The default editor keeps its final blank.
  EXPECT_EQ(g.EditorStarLine(), "★★C:\\WINDOWS\\write.exe ★★");
  EXPECT_EQ(g.DefaultDirStarLine(), "★★C:\\WINDOWS★★");
  g.DefaultDir = Sjis("D:\\ログ\\");
  EXPECT_EQ(g.DefaultDirStarLine(), "★★D:\\ログ\\★★");
  // Bytes written by hand that are not code page 932 text stay visible.
  g.EditorCommand = std::string("ed\x80\xFF ", 5);
  EXPECT_EQ(g.EditorStarLine(), "★★ed<80><FF> ★★");
  g.EditorCommand.clear();
  EXPECT_EQ(g.EditorStarLine(), "★★★★");
}

TEST_F(Options, ParagraphsAreIndentedLinesEndedByCrLf) {
  struct Paragraph {
    void (*build)(Global&);
    const char* title;
    std::size_t lines;
  };
  const std::string space = "\u3000";
  const Paragraph paragraphs[] = {
      {[](Global& x) { x.BuildFolderParagraph(); }, "フォルダ自動生成", 4},
      {[](Global& x) { x.BuildEditorParagraph(); }, "エディタの指定", 4},
      {[](Global& x) { x.BuildResetParagraph(); }, "「ＴＡＶ．ＩＮＩ」の初期化", 6},
      {[](Global& x) { x.BuildDefaultDirParagraph(); }, "デフォルト作業ディレクトリの指定", 4}};
  for (const Paragraph& p : paragraphs) {
    g.MsgText = "left over";
    p.build(g);
    const std::string text = g.MsgText;
    SCOPED_TRACE(p.title);
    // Shown in a label of a code page 932 system: every character must exist there.
    EXPECT_TRUE(Utf8ToCp932(text).has_value());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t end = text.find("\r\n", pos);
      lines.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    ASSERT_EQ(lines.size(), p.lines);
    EXPECT_EQ(lines[0], space + "■" + space + p.title);
    EXPECT_EQ(lines[1], "");
    for (std::size_t i = 2; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos);
      const bool unindented = lines[i] == "「カスタマイズファイル」を初期化してみてください。";
      EXPECT_EQ(lines[i].rfind(space, 0) == 0, !unindented) << lines[i];
    }
  }
  g.BuildResetParagraph();
  EXPECT_NE(g.MsgText.find("\r\n\u3000  w(ﾟoﾟ)w,,OH!\u3000\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tav
