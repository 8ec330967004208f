// The main window's output forms, dropped files and files it is started
// with, under Wine.
#include <shlobj.h>

#include <algorithm>
#include <sstream>

#include "gui_fixture.h"
#include "tavconv.h"

namespace tav::test {
namespace {

using Files = std::vector<std::wstring>;

class OutputFormsGui : public GuiTest {
 protected:
  std::wstring MenuText(int position) {
    wchar_t text[128] = {};
    GetMenuStringW(FileMenu(), static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
  }
  HMENU FileMenu() { return GetSubMenu(GetMenu(form->hwnd()), 0); }
  bool Checked(int command) {
    return (GetMenuState(FileMenu(), static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  // Files dropped from Explorer: an HDROP as the shell builds it.
  void Drop(const std::vector<std::filesystem::path>& paths) {
    std::wstring list;
    for (const auto& path : paths) list += path.native() + L'\0';
    list += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(form->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    Pump();
  }
  // The files of a folder tree by their paths from `root`, logs aside.
  std::map<std::wstring, std::string> Tree(const std::filesystem::path& root) {
    std::map<std::wstring, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file() || entry.path().extension() == L".log") continue;
      FileBytes bytes;
      EXPECT_TRUE(files.ReadWholeFile(entry.path(), bytes).ok);
      tree[entry.path().lexically_relative(root).native()] = std::string(View(bytes));
    }
    return tree;
  }
};

TEST_F(OutputFormsGui, FileMenuAndStatusBarShowTheFormWhichSurvivesARestartButNotAReset) {
  Form1& f = Start();
  // The items of old keep their places; the forms follow `end`.
  ASSERT_EQ(GetMenuItemCount(FileMenu()), 9);
  EXPECT_EQ(MenuText(2), L"end");
  EXPECT_EQ(MenuText(4), L"形式：ログのままの .eml（従来どおり）");
  EXPECT_EQ(MenuText(5), L"形式：標準メールの .eml（MIME）");
  EXPECT_EQ(MenuText(6), L"形式：Ｗｅｂアーカイブ（tav-web フォルダ）");
  EXPECT_EQ(MenuText(8), L"Ｗｅｂアーカイブを開く");
  // A tav.ini of three lines is the log's own form, and start-up writes nothing.
  EXPECT_TRUE(Checked(Form1::kMenuFormLog));
  EXPECT_EQ(StatusText(3), L"ログのまま");
  const std::string three = ReadIni();

  f.SetStatusBold(true);
  Command(Form1::kMenuFormMime);
  EXPECT_FALSE(f.StatusBold());
  EXPECT_EQ(ReadIni(), three + "[Output]=mime\r\n");
  EXPECT_TRUE(Checked(Form1::kMenuFormMime));
  EXPECT_FALSE(Checked(Form1::kMenuFormLog));
  EXPECT_EQ(StatusText(3), L"標準メール");
  EXPECT_EQ(StatusText(1), L"status");

  form.reset();
  Start();
  EXPECT_EQ(form->program().global.Output, OutputForm::Mime);
  EXPECT_EQ(StatusText(3), L"標準メール");
  Command(Form1::kMenuFormArchive);
  EXPECT_EQ(StatusText(3), L"Webアーカイブ");
  EXPECT_EQ(ReadIni(), three + "[Output]=html\r\n");

  // The options dialog's reset: the three lines, and the log's own form at once.
  Command(Form1::kMenuOption);
  SendMessageW(form->frmOptions().Control(FrmOptions::kCommand1), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(ReadIni(), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(StatusText(3), L"ログのまま");
  EXPECT_TRUE(Checked(Form1::kMenuFormLog));
}

TEST_F(OutputFormsGui, DroppedFilesAreSelectedInTheirFolder) {
  const std::filesystem::path other = logsDir / L"別 フォルダ";
  std::filesystem::create_directories(other / L"sub");
  for (const wchar_t* name : {L"a.log", L"b.log", L"c.log"}) files.WriteWholeFile(other / name, "x");
  Form1& f = Start();
  f.SetStatusBold(true);
  // A file of another folder than the first's is passed over.
  Drop({other / L"c.log", other / L"a.log", logsDir / L"mail0412.log"});
  EXPECT_EQ(Label1(), other.native());
  EXPECT_EQ(f.dir1().Path(), other);
  EXPECT_EQ(File1Entries(), (Files{L"a.log", L"b.log", L"c.log"}));
  EXPECT_EQ(SelectedEntries(), (Files{L"a.log", L"c.log"}));
  EXPECT_FALSE(f.StatusBold());

  // Into the folder shown: listed afresh, the selection replaced.
  files.WriteWholeFile(other / L"d.log", "x");
  Drop({other / L"d.log"});
  EXPECT_EQ(SelectedEntries(), Files{L"d.log"});
  // A folder is opened.
  Drop({other / L"sub"});
  EXPECT_EQ(Label1(), (other / L"sub").native());
  EXPECT_TRUE(File1Entries().empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputFormsGui, FilesGivenAtStartUpAreSelected) {
  std::wstring forward = (logsDir / L"mail0412.log").native();
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  Start(nullptr, nullptr, {logsDir / L"fbbs0412.log", forward});
  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(SelectedEntries(), (Files{L"fbbs0412.log", L"mail0412.log"}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputFormsGui, StandardMailRunWritesWhatTavconvMimeWrites) {
  const std::filesystem::path cli = logsDir / L"cli";
  std::filesystem::create_directories(cli);
  for (const wchar_t* log : {L"fbbs0412.log", L"frpg0413.log", L"mail0412.log"}) {
    std::filesystem::copy_file(logsDir / log, cli / log);
  }
  Form1& f = Start();
  Command(Form1::kMenuFormMime);
  Notify(Form1::kCheck1, BN_CLICKED);
  SelectFiles({L"fbbs0412.log", L"frpg0413.log", L"mail0412.log"});
  boxes.answers = {kOk, kOk};
  Command(Form1::kMenuRun);
  // The sample forum log lists titles: told once, at the end.
  ASSERT_EQ(boxes.Titles(), (std::vector<std::string>{" start?", " Notice!"}));
  EXPECT_NE(boxes.shown[0].box.text.find("標準メール"), std::string::npos);
  EXPECT_EQ(boxes.shown[1].owner, f.hwnd());
  EXPECT_EQ(StatusText(1), L"end");
  EXPECT_EQ(boxes.beeps, 5);

  std::ostringstream out, errors;
  ASSERT_EQ(RunTavconv({L"--mime", cli / L"fbbs0412.log", cli / L"frpg0413.log",
                        cli / L"mail0412.log"},
                       out, errors, files),
            kExitOk);
  std::filesystem::remove(logsDir / L"tav.ini");
  auto window = Tree(logsDir);
  std::erase_if(window, [](const auto& file) { return file.first.starts_with(L"cli\\"); });
  EXPECT_EQ(window.size(), 15u);  // 16 messages, one of them read twice
  EXPECT_EQ(window, Tree(cli));
}

TEST_F(OutputFormsGui, ArchiveRunIsRefusedAndTheStartPageOpensWhereThereIsOne) {
  Start();
  Command(Form1::kMenuFormArchive);
  SelectFiles({L"mail0412.log"});
  boxes.answers = {kOk, kOk};
  Command(Form1::kToolbarCommandBase + 3);  // "start"
  ASSERT_EQ(boxes.Titles(), (std::vector<std::string>{" start?", " FormError!!"}));
  EXPECT_NE(boxes.shown[0].box.text.find(Utf8FromPath(logsDir / L"tav-web") + "\\"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(logsDir / L"tav-web"));
  EXPECT_FALSE(std::filesystem::exists(logsDir / L"mai"));

  boxes.shown.clear();
  boxes.answers = {kOk};
  Command(Form1::kMenuOpenArchive);
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" Web?"});
  EXPECT_TRUE(shell.opened.empty());
  std::filesystem::create_directories(logsDir / L"tav-web");
  files.WriteWholeFile(logsDir / L"tav-web" / L"index.html", "<!DOCTYPE html>");
  Command(Form1::kMenuOpenArchive);
  EXPECT_EQ(shell.opened,
            std::vector<std::string>{Utf8FromPath(logsDir / L"tav-web" / L"index.html")});
}

}  // namespace
}  // namespace tav::test
