// The main window under Wine: start-up, browsing, runs, the editor and the
// commands of the menus and the toolbar.
#include "forms/folder_listing.h"
#include "gui_fixture.h"

namespace tav::test {
namespace {

using Files = std::vector<std::wstring>;
const Files kLogs = {L"fbbs0412.log", L"frpg0413.log", L"mail0412.log"};

TEST_F(GuiTest, StartsInTheDefaultDirectoryWithTheSettings) {
  WriteIni(*Utf8ToCp932(Utf8FromPath(logsDir)), "12", "ed.exe ");
  Form1& f = Start();
  EXPECT_EQ(Text(f.hwnd()), L"   TAVI-1 (Vandrosk)");
  const UINT dpi = GetDpiForWindow(f.hwnd());
  const SIZE client = ClientSize(f.hwnd());
  EXPECT_EQ(client.cx, MulDiv(4470, static_cast<int>(dpi), 1440));
  EXPECT_EQ(client.cy, MulDiv(5055, static_cast<int>(dpi), 1440));
  const LONG style = GetWindowLongW(f.hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));

  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(File1Entries(), kLogs);
  EXPECT_EQ(SendMessageW(Control(Form1::kFile1), LB_GETSELCOUNT, 0, 0), 0);
  // A folder-name length outside 1 to 9 is shown as it is.
  EXPECT_EQ(Text(Control(Form1::kCombo1)), L"12");
  EXPECT_EQ(SendMessageW(Control(Form1::kCombo1), CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(SendMessageW(Control(Form1::kCheck1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(StatusText(1), L"status");
  EXPECT_EQ(StatusText(2), L"file ");
  EXPECT_FALSE(f.StatusBold());

  const Global& g = f.program().global;
  EXPECT_EQ(g.ProgramDir, programDir);
  EXPECT_EQ(g.SettingsPath, IniPath());
  EXPECT_EQ(g.EditorCommand, "ed.exe ");
  // Start-up writes nothing and asks nothing.
  EXPECT_TRUE(boxes.shown.empty());

  // Tab goes Dir1, Drive1, File1, Check1, Combo1.
  std::vector<HWND> order;
  HWND item = GetNextDlgTabItem(f.hwnd(), nullptr, FALSE);
  for (int i = 0; i < 5; ++i, item = GetNextDlgTabItem(f.hwnd(), item, FALSE)) {
    order.push_back(GetDlgCtrlID(item) == 0 ? GetParent(item) : item);
  }
  EXPECT_EQ(order, (std::vector<HWND>{Control(Form1::kDir1), Control(Form1::kDrive1),
                                      Control(Form1::kFile1), Control(Form1::kCheck1),
                                      Control(Form1::kCombo1)}));
}

TEST_F(GuiTest, MenuBarHoldsTheCommands) {
  Form1& f = Start();
  HMENU bar = GetMenu(f.hwnd());
  auto caption = [](HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return std::wstring(text);
  };
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(caption(bar, 0), L"file");
  EXPECT_EQ(caption(bar, 1), L"option");
  EXPECT_EQ(caption(bar, 2), L"help");
  EXPECT_EQ(GetMenuItemID(bar, 1), static_cast<UINT>(Form1::kMenuOption));
  HMENU file = GetSubMenu(bar, 0);
  HMENU help = GetSubMenu(bar, 2);
  EXPECT_EQ(caption(file, 0) + L"," + caption(file, 1) + L"," + caption(file, 2), L"edit,run,end");
  EXPECT_EQ(caption(help, 0) + L"," + caption(help, 1) + L"," + caption(help, 2),
            L"help HTML,ini_file,version");
}

TEST_F(GuiTest, MissingDefaultDirectoryShowsTheProgramsFolder) {
  WriteIni("C:\\no such folder", "3", "ed.exe ");
  Start();
  EXPECT_EQ(Label1(), programDir.native());
  EXPECT_EQ(File1Entries(), Files{L"tav.ini"});
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GuiTest, ToolbarIsBuiltFromTheIconFilesOfTheWorkingDirectory) {
  Form1& f = Start();
  HWND toolbar = Control(Form1::kToolbar1);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 13);
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 6);
  std::wstring layout;
  for (int i = 0; i < 13; ++i) {
    TBBUTTON button{};
    SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    const bool separator = (button.fsStyle & BTNS_SEP) != 0;
    layout += separator ? L"|" : L"B";
    if (!separator) {
      EXPECT_NE(button.iBitmap, I_IMAGENONE) << "button " << i + 1;
    }
  }
  EXPECT_EQ(layout, L"||BB||BBB||B|");
  (void)f;
}

TEST_F(GuiTest, MissingIconFilesGiveButtonsWithoutImages) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(logsDir);
  Start();
  std::filesystem::current_path(before);
  HWND toolbar = Control(Form1::kToolbar1);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 13);
  TBBUTTON edit{};
  SendMessageW(toolbar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&edit));
  EXPECT_EQ(edit.iBitmap, I_IMAGENONE);
  EXPECT_EQ(Label1(), logsDir.native());
}

TEST_F(GuiTest, BrowsingMovesLabel1AndFile1Together) {
  std::filesystem::create_directories(logsDir / L"old");
  files.WriteWholeFile(logsDir / L"old" / L"a.log", "a");
  files.WriteWholeFile(logsDir / L"old" / L"B.log", "b");
  files.WriteWholeFile(logsDir / L"old" / L"hidden.log", "h");
  SetFileAttributesW((logsDir / L"old" / L"hidden.log").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Form1& f = Start();

  // Enter opens the highlighted folder, as a double-click does.
  SendMessageW(Control(Form1::kDir1), LB_SETCURSEL, f.dir1().EntryCount() - 1, 0);
  Key(Control(Form1::kDir1), VK_RETURN);
  EXPECT_EQ(Label1(), (logsDir / L"old").native());
  EXPECT_EQ(File1Entries(), (Files{L"a.log", L"B.log"}));
  EXPECT_EQ(f.dir1().Path(), logsDir / L"old");

  // Up again through the open folder above.
  DoubleClickDir1(logsDir.filename().native());
  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(File1Entries(), kLogs);

  // A folder that cannot be read: a message, and the lists stay.
  boxes.answers = {kOk};
  f.SetDirectoryListPath(logsDir / L"gone");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].box.title, " DirError!!");
  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(File1Entries(), kLogs);
}

TEST_F(GuiTest, ChangingTheDriveShowsThatDrivesCurrentDirectory) {
  Form1& f = Start();
  HWND drive = Control(Form1::kDrive1);
  // Every Wine prefix has the drives C: and Z:.
  const auto z =
      SendMessageW(drive, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"z:"));
  ASSERT_GE(z, 0);
  SendMessageW(drive, CB_SETCURSEL, static_cast<WPARAM>(z), 0);
  f.SetStatusBold(true);
  Notify(Form1::kDrive1, CBN_SELCHANGE);
  EXPECT_FALSE(f.StatusBold());
  const std::wstring label = Label1();
  EXPECT_EQ(label.substr(0, 3), L"Z:\\");
  wchar_t current[MAX_PATH] = {};
  GetFullPathNameW(L"Z:", MAX_PATH, current, nullptr);
  EXPECT_EQ(label, NormalizeFolder(current).native());
}

TEST_F(GuiTest, RunConvertsTheSelectedLogsAskingBeforeEach) {
  Form1& f = Start();
  SelectFiles({L"fbbs0412.log", L"mail0412.log"});
  boxes.answers = {kOk, kOk};
  Command(Form1::kMenuRun);
  EXPECT_EQ(boxes.Titles(), (std::vector<std::string>{" start?", " start?"}));
  for (const auto& shown : boxes.shown) EXPECT_EQ(shown.owner, f.hwnd());
  EXPECT_NE(boxes.shown[0].box.text.find("fbbs0412.log"), std::string::npos);
  EXPECT_NE(boxes.shown[1].box.text.find("mail0412.log"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(logsDir / L"fbb" / L"00231.eml"));
  EXPECT_TRUE(std::filesystem::exists(logsDir / L"mai" / L"00001.eml"));
  EXPECT_FALSE(std::filesystem::exists(logsDir / L"frp"));
  EXPECT_EQ(StatusText(1), L"end");
  EXPECT_EQ(StatusText(2), L"mail0412.log");
  EXPECT_TRUE(f.StatusBold());
  EXPECT_EQ(boxes.beeps, 4);
  EXPECT_FALSE(f.RunActive());
  // The number box gave the folder-name length.
  EXPECT_EQ(f.program().global.DirNameLen, 3);

  // A second run into the existing folder warns before it writes.
  boxes.shown.clear();
  boxes.answers = {kOk, kYes, kOk, kNo};
  Command(Form1::kMenuRun);
  EXPECT_EQ(boxes.Titles(),
            (std::vector<std::string>{" start?", " DiskError!!", " start?", " DiskError!!"}));
}

TEST_F(GuiTest, FullAutoAsksOnlyBeforeTheFirstLog) {
  Form1& f = Start();
  Notify(Form1::kCheck1, BN_CLICKED);
  EXPECT_EQ(f.program().global.FullAuto, 1);
  EXPECT_EQ(SendMessageW(Control(Form1::kCheck1), BM_GETCHECK, 0, 0), BST_CHECKED);

  SetWindowTextW(Control(Form1::kCombo1), L"4");
  SelectFiles({L"fbbs0412.log", L"frpg0413.log", L"mail0412.log"});
  boxes.answers = {kOk};
  Command(Form1::kToolbarCommandBase + 3);  // "start"
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" start?"});
  EXPECT_NE(boxes.shown[0].box.text.find("FullAuto"), std::string::npos);
  for (const wchar_t* folder : {L"fbbs", L"frpg", L"mail"}) {
    EXPECT_TRUE(std::filesystem::is_directory(logsDir / folder)) << Utf8FromPath(folder);
  }
  EXPECT_EQ(boxes.beeps, 5);

  Notify(Form1::kCheck1, BN_CLICKED);
  EXPECT_EQ(f.program().global.FullAuto, 0);
  EXPECT_EQ(SendMessageW(Control(Form1::kCheck1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(GuiTest, DoubleClickedProgramBecomesTheEditor) {
  files.WriteWholeFile(logsDir / L"my ed.exe", "MZ");
  Form1& f = Start();
  f.SetStatusBold(true);
  SelectFiles({L"my ed.exe"});
  boxes.answers = {kOk};
  Notify(Form1::kFile1, LBN_DBLCLK);
  EXPECT_FALSE(f.StatusBold());
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" Editor?"});
  EXPECT_EQ(boxes.shown[0].owner, f.hwnd());
  const std::string stored = "\"" + Utf8FromPath(logsDir / L"my ed.exe") + "\" ";
  EXPECT_EQ(*Cp932ToUtf8(f.program().global.EditorCommand), stored);
  EXPECT_EQ(*Cp932ToUtf8(ReadIni()), "[DefaultDir]=" + Utf8FromPath(logsDir) +
                                         "\r\n[DirName]=3\r\n[Editor]=" + stored + "\r\n");

  // edit opens each selected log with it, the path quoted for its blank.
  SendMessageW(Control(Form1::kFile1), LB_SETSEL, FALSE, -1);
  SelectFiles({L"fbbs0412.log", L"mail0412.log"});
  Command(Form1::kMenuEdit);
  EXPECT_EQ(shell.started, (std::vector<std::string>{
                               stored + "\"" + Utf8FromPath(logsDir / L"fbbs0412.log") + "\"",
                               stored + "\"" + Utf8FromPath(logsDir / L"mail0412.log") + "\""}));
}

TEST_F(GuiTest, ToolbarKeysRunTheirCommandsAndResetTheBoldStatus) {
  Form1& f = Start();
  auto press = [&](int position) {
    f.SetStatusBold(true);
    Command(Form1::kToolbarCommandBase + position);
    EXPECT_FALSE(f.StatusBold()) << "button " << position + 1;
  };
  SelectFiles({L"fbbs0412.log"});
  press(2);  // edit
  EXPECT_EQ(shell.started.size(), 1u);
  press(6);  // info
  EXPECT_TRUE(f.frmAbout().IsVisible());
  press(7);  // dev
  EXPECT_EQ(shell.opened, std::vector<std::string>{Utf8FromPath(programDir / L"tav.htm")});
  press(8);  // opt
  EXPECT_TRUE(f.frmOptions().IsVisible());
  press(0);  // a separator does nothing else

  // start, with nothing selected: no question, and the run's own end makes
  // the status bold again.
  SendMessageW(Control(Form1::kFile1), LB_SETSEL, FALSE, -1);
  f.SetStatusText(1, "");
  Command(Form1::kToolbarCommandBase + 3);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(StatusText(1), L"end");
  EXPECT_TRUE(f.StatusBold());
  Command(Form1::kToolbarCommandBase + 11);  // end
  EXPECT_EQ(f.hwnd(), nullptr);
  EXPECT_EQ(f.frmOptions().hwnd(), nullptr);
  Pump();
  EXPECT_TRUE(quitPosted);
}

TEST_F(GuiTest, MenuCommandsKeepOrResetTheBoldStatus) {
  Form1& f = Start();
  f.SetStatusBold(true);
  Command(Form1::kMenuHelpHtml);
  Command(Form1::kMenuEdit);
  EXPECT_TRUE(f.StatusBold());
  EXPECT_EQ(shell.opened.size(), 1u);

  Command(Form1::kMenuIniFile);
  EXPECT_FALSE(f.StatusBold());
  EXPECT_EQ(shell.started, std::vector<std::string>{"ed.exe " + Utf8FromPath(IniPath())});

  // An editor that cannot start is named in a message; the program goes on.
  shell.failingStarts.insert("ed.exe " + Utf8FromPath(IniPath()));
  boxes.answers = {kOk};
  Command(Form1::kMenuIniFile);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].box.kind, MsgKind::StartFailed);
  EXPECT_NE(f.hwnd(), nullptr);
}

TEST_F(GuiTest, TitleBarCloseEndsTheProgram) {
  Form1& f = Start();
  Command(Form1::kMenuOption);
  SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(f.hwnd(), nullptr);
  EXPECT_EQ(f.frmOptions().hwnd(), nullptr);
  EXPECT_EQ(f.frmAbout().hwnd(), nullptr);
  Pump();
  EXPECT_TRUE(quitPosted);
}

}  // namespace
}  // namespace tav::test
