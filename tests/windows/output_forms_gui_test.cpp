// The output forms in the window, and files dropped on it.
#include <shlobj.h>

#include "gui_fixture.h"

namespace tav::test {
namespace {

TEST_F(GuiTest, OutputFormsDroppedFilesAndTheArchivesStartPage) {
  const std::string three = ReadIni();
  Form1& f = Start();
  HMENU file = GetSubMenu(GetMenu(f.hwnd()), 0);
  auto checked = [&](int id) { return GetMenuState(file, id, MF_BYCOMMAND) & MF_CHECKED; };
  // The forms follow `end`: the items of old keep their places and keys.
  EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(Form1::kMenuEnd));
  EXPECT_TRUE(checked(Form1::kMenuFormLog));
  EXPECT_EQ(StatusText(3), L"ログのまま");

  // Dropped files: the lists move to the first one's folder, where they are
  // selected; a file of another folder is passed over.
  std::wstring list = (logsDir / L"mail0412.log").native() + L'\0' +
                      (logsDir / L"fbbs0412.log").native() + L'\0' +
                      (programDir / L"tav.ini").native();
  list += L'\0';
  f.SetDirectoryListPath(programDir);
  HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  SendMessageW(f.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(SendMessageW(Control(Form1::kFile1), LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_FALSE(f.FileSelected(1));  // frpg0413.log

  // Before the first archive run there is no archive to open.
  Command(Form1::kMenuFormArchive);
  EXPECT_EQ(ReadIni(), three + "[Output]=html\r\n");
  EXPECT_TRUE(checked(Form1::kMenuFormArchive));
  EXPECT_EQ(StatusText(3), L"Webアーカイブ");
  boxes.answers = {kOk};
  Command(Form1::kMenuOpenArchive);
  EXPECT_EQ(boxes.shown.back().box.title, " Web?");
  // The run's confirmation names the archive folder; the archive is made
  // there, with no question about an existing folder.
  boxes.answers = {kOk, kOk, kOk};
  Command(Form1::kMenuRun);
  ASSERT_EQ(boxes.Titles(),
            (std::vector<std::string>{" Web?", " start?", " start?", " Notice!"}));
  EXPECT_NE(boxes.shown[1].box.text.find(Utf8FromPath(logsDir / L"tav-web\\")), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(logsDir / L"tav-web" / L"f" / L"fbb" / L"m" / L"00232.eml"));
  Command(Form1::kMenuOpenArchive);
  EXPECT_EQ(shell.opened, std::vector<std::string>{Utf8FromPath(logsDir / L"tav-web\\index.html")});

  // Kept for the next start; the options dialog's reset writes the three
  // lines of old and brings back the log's own form.
  form.reset();
  Start();
  EXPECT_EQ(StatusText(3), L"Webアーカイブ");
  Command(Form1::kMenuOption);
  SendMessageW(form->frmOptions().Control(FrmOptions::kCommand1), BM_CLICK, 0, 0);
  EXPECT_EQ(ReadIni(), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(StatusText(3), L"ログのまま");
}

}  // namespace
}  // namespace tav::test
