// The options and about dialogs under Wine: created hidden at start-up,
// shown modeless, hidden by cancel and Esc, destroyed by the title bar's
// close; what their buttons store and what their links open.
#include "gui_fixture.h"
#include "platform/win32_text.h"

namespace tav::test {
namespace {

using Opt = FrmOptions;

class DialogTest : public GuiTest {
 protected:
  FrmOptions& Options() { return form->frmOptions(); }
  FrmAbout& About() { return form->frmAbout(); }
  HWND Ctl(Opt::Id id) { return Options().Control(id); }

  // A click on a button, as the mouse gives it.
  void Click(HWND button) {
    ASSERT_NE(button, nullptr);
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
  }
  void ClickLabel(HWND label) {
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump();
  }
  void TypeNumber(const wchar_t* text) { SetWindowTextW(Ctl(Opt::kCombo1), text); }
  std::wstring NumberBox() { return Text(Ctl(Opt::kCombo1)); }

  // tav.ini as UTF-8 text.
  std::string Ini() { return *Cp932ToUtf8(ReadIni()); }
  std::string IniFor(const std::filesystem::path& dir, const std::string& dirName,
                     const std::string& editor) {
    return "[DefaultDir]=" + Utf8FromPath(dir) + "\r\n[DirName]=" + dirName +
           "\r\n[Editor]=" + editor + "\r\n";
  }
  static std::wstring Stars(const std::wstring& text) { return L"★★" + text + L"★★"; }

  // A control's rectangle in its dialog's client area.
  static RECT RectIn(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  static bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }
};

TEST_F(DialogTest, DialogsAreCreatedHiddenWithTheirFrames) {
  Form1& f = Start();
  const UINT dpi = GetDpiForWindow(f.hwnd());
  HWND options = Options().hwnd();
  HWND about = About().hwnd();
  ASSERT_NE(options, nullptr);
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowVisible(options));
  EXPECT_FALSE(IsWindowVisible(about));
  EXPECT_EQ(Text(options), L"     options");
  EXPECT_EQ(Text(about), L"     version infomation");
  EXPECT_EQ(ClientSize(options).cx, MulDiv(5745, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(options).cy, MulDiv(5955, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(about).cx, MulDiv(5040, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(about).cy, MulDiv(4545, static_cast<int>(dpi), 1440));

  const LONG optionsStyle = GetWindowLongW(options, GWL_STYLE);
  EXPECT_TRUE(optionsStyle & WS_SYSMENU);
  EXPECT_FALSE(optionsStyle & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  const LONG aboutStyle = GetWindowLongW(about, GWL_STYLE);
  EXPECT_EQ(aboutStyle & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
  // Both carry the program's icon from its resources.
  EXPECT_NE(GetClassLongPtrW(options, GCLP_HICON), 0u);
  EXPECT_NE(GetClassLongPtrW(about, GCLP_HICON), 0u);
}

TEST_F(DialogTest, OptionsShowTheSettingsInTheirBoxes) {
  WriteIni(*Utf8ToCp932(Utf8FromPath(logsDir)), "12", "ed.exe ");
  Start();
  Command(Form1::kMenuOption);
  ASSERT_TRUE(Options().IsVisible());

  // The number box: the stored length (also outside 1 to 9), items 1 to 9.
  EXPECT_EQ(NumberBox(), L"12");
  HWND combo = Ctl(Opt::kCombo1);
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 9);
  for (int i = 0; i < 9; ++i) {
    wchar_t item[8] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(item, std::to_wstring(i + 1));
  }
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), L"★★ed.exe ★★");
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), Stars(logsDir.native()));
  // Each paragraph in its own bordered box, under its own title.
  const std::pair<Opt::Id, const wchar_t*> paragraphs[] = {
      {Opt::kLabel1, L"\u3000■\u3000フォルダ自動生成\r\n\r\n\u3000"},
      {Opt::kLabel2, L"\u3000■\u3000エディタの指定\r\n\r\n\u3000"},
      {Opt::kLabel4, L"\u3000■\u3000「ＴＡＶ．ＩＮＩ」の初期化\r\n\r\n\u3000"},
      {Opt::kLabel6, L"\u3000■\u3000デフォルト作業ディレクトリの指定\r\n\r\n\u3000"}};
  for (const auto& [label, title] : paragraphs) {
    EXPECT_TRUE(Text(Ctl(label)).starts_with(title)) << label;
    EXPECT_TRUE(GetWindowLongW(Ctl(label), GWL_EXSTYLE) & WS_EX_STATICEDGE) << label;
  }
  EXPECT_EQ(Text(Ctl(Opt::kCmdOK)), L"set");
  EXPECT_EQ(Text(Ctl(Opt::kCmdCancel)), L"cancel");
  EXPECT_EQ(Text(Ctl(Opt::kCommand1)), L".ini-file Reset");
  EXPECT_EQ(Text(Ctl(Opt::kCommand2)), L"Def_Dir");

  // The number box and the buttons sit inside the boxes they belong to.
  EXPECT_TRUE(Inside(RectIn(combo), RectIn(Ctl(Opt::kLabel1))));
  EXPECT_TRUE(Inside(RectIn(Ctl(Opt::kLabel3)), RectIn(Ctl(Opt::kLabel2))));
  EXPECT_TRUE(Inside(RectIn(Ctl(Opt::kCommand2)), RectIn(Ctl(Opt::kLabel6))));
  EXPECT_TRUE(Inside(RectIn(Ctl(Opt::kLabel5)), RectIn(Ctl(Opt::kLabel6))));
  EXPECT_TRUE(Inside(RectIn(Ctl(Opt::kCommand1)), RectIn(Ctl(Opt::kLabel4))));
  EXPECT_GT(RectIn(Ctl(Opt::kCmdOK)).top, RectIn(Ctl(Opt::kLabel4)).bottom);

  // The focus starts at "set" and goes on to cancel, the number box, reset
  // and Def_Dir.
  HWND options = Options().hwnd();
  EXPECT_EQ(GetFocus(), Ctl(Opt::kCmdOK));
  std::vector<HWND> order;
  HWND item = Ctl(Opt::kCmdOK);
  for (int i = 0; i < 5; ++i, item = GetNextDlgTabItem(options, item, FALSE)) {
    order.push_back(GetDlgCtrlID(item) == 0 || GetParent(item) != options ? GetParent(item) : item);
  }
  EXPECT_EQ(order, (std::vector<HWND>{Ctl(Opt::kCmdOK), Ctl(Opt::kCmdCancel), combo,
                                      Ctl(Opt::kCommand1), Ctl(Opt::kCommand2)}));
  EXPECT_EQ(GetNextDlgTabItem(options, Ctl(Opt::kCommand2), FALSE), Ctl(Opt::kCmdOK));

  // Tab moves the focus; Enter presses nothing, not even "set".
  Key(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), Ctl(Opt::kCmdCancel));
  const std::string before = ReadIni();
  SetFocus(combo);
  TypeNumber(L"4");
  Key(GetFocus(), VK_RETURN);
  Key(Ctl(Opt::kCmdOK), VK_RETURN);
  EXPECT_TRUE(Options().IsVisible());
  EXPECT_EQ(ReadIni(), before);
  EXPECT_TRUE(boxes.shown.empty());

  // Shown again, the dialog is the same: no second set of items.
  Key(GetFocus(), VK_ESCAPE);
  EXPECT_FALSE(Options().IsVisible());
  Command(Form1::kToolbarCommandBase + 8);  // "opt"
  EXPECT_EQ(Options().hwnd(), options);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(NumberBox(), L"4");
}

TEST_F(DialogTest, SetStoresTheNumberBoxAndCancelKeepsItsText) {
  Form1& f = Start();
  const std::string editor = "ed.exe ";

  // Picked from the list: stored and the dialog hidden; the main window's
  // number box keeps its own value until the next start.
  Command(Form1::kMenuOption);
  SendMessageW(Ctl(Opt::kCombo1), CB_SETCURSEL, 4, 0);
  Click(Ctl(Opt::kCmdOK));
  EXPECT_FALSE(Options().IsVisible());
  EXPECT_EQ(Ini(), IniFor(logsDir, "5", editor));
  EXPECT_EQ(Text(Control(Form1::kCombo1)), L"3");

  // Typed: read as the number the text begins with.
  const std::pair<const wchar_t*, const char*> typed[] = {
      {L"12", "12"}, {L"2.5", "2"}, {L"3.5", "4"}, {L"text", "0"}, {L"-7 days", "-7"}};
  for (const auto& [text, stored] : typed) {
    Command(Form1::kMenuOption);
    TypeNumber(text);
    Click(Ctl(Opt::kCmdOK));
    EXPECT_FALSE(Options().IsVisible()) << Utf8FromPath(text);
    EXPECT_EQ(Ini(), IniFor(logsDir, stored, editor)) << Utf8FromPath(text);
  }
  EXPECT_TRUE(boxes.shown.empty());

  // Out of the 16-bit range: refused with a message over the dialog, which
  // goes all the same; the stored length stays.
  Command(Form1::kMenuOption);
  TypeNumber(L"40000");
  boxes.answers = {kOk};
  Click(Ctl(Opt::kCmdOK));
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" Directory Name?"});
  EXPECT_NE(boxes.shown[0].box.text.find("40000"), std::string::npos);
  EXPECT_EQ(boxes.shown[0].owner, Options().hwnd());
  EXPECT_FALSE(Options().IsVisible());
  EXPECT_EQ(f.program().global.DirNameLen, -7);
  EXPECT_EQ(Ini(), IniFor(logsDir, "-7", editor));

  // cancel and Esc store nothing and keep the typed text for the next showing.
  Command(Form1::kMenuOption);
  TypeNumber(L"7");
  Click(Ctl(Opt::kCmdCancel));
  EXPECT_FALSE(Options().IsVisible());
  Command(Form1::kMenuOption);
  EXPECT_EQ(NumberBox(), L"7");
  TypeNumber(L"8");
  Key(GetFocus(), VK_ESCAPE);
  EXPECT_FALSE(Options().IsVisible());
  Command(Form1::kMenuOption);
  EXPECT_EQ(NumberBox(), L"8");
  EXPECT_EQ(Ini(), IniFor(logsDir, "-7", editor));
  EXPECT_EQ(f.program().global.DirNameLen, -7);
}

TEST_F(DialogTest, ResetAndDefDirChangeTheStarLinesAndTavIni) {
  Form1& f = Start();
  Command(Form1::kMenuOption);
  TypeNumber(L"6");

  // Def_Dir takes the folder the main window shows, at once.
  f.SetDirectoryListPath(programDir);
  Click(Ctl(Opt::kCommand2));
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), Stars(programDir.native()));
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), L"★★ed.exe ★★");
  EXPECT_EQ(Ini(), IniFor(programDir, "3", "ed.exe "));
  // In a drive's root the folder ends in a backslash.
  f.SetDirectoryListPath(L"C:\\");
  Click(Ctl(Opt::kCommand2));
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), L"★★C:\\★★");
  EXPECT_EQ(Ini(), IniFor(L"C:\\", "3", "ed.exe "));
  EXPECT_TRUE(Options().IsVisible());

  // The reset asks nothing, shows the defaults and leaves the number box alone.
  Click(Ctl(Opt::kCommand1));
  const std::wstring windows = shell.windowsDirectory.native();
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), Stars(windows + L"\\write.exe "));
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), Stars(windows));
  EXPECT_EQ(ReadIni(), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(NumberBox(), L"6");
  EXPECT_TRUE(Options().IsVisible());
  EXPECT_TRUE(boxes.shown.empty());

  // A folder whose name code page 932 cannot hold is refused; nothing changes.
  const std::filesystem::path cafe = programDir / L"caf\u00e9";
  std::filesystem::create_directories(cafe);
  f.SetDirectoryListPath(cafe);
  boxes.answers = {kOk};
  Click(Ctl(Opt::kCommand2));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].box.kind, MsgKind::NotStorable);
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), Stars(windows));
  EXPECT_EQ(ReadIni(), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");

  // A settings file that cannot be written is named over the dialog, which
  // "set" hides all the same; it works again once the file can be written.
  SetFileAttributesW(IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  boxes.shown.clear();
  boxes.answers = {kOk};
  Click(Ctl(Opt::kCmdOK));
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" IniError!!"});
  EXPECT_NE(boxes.shown[0].box.text.find(Utf8FromPath(IniPath())), std::string::npos);
  EXPECT_EQ(boxes.shown[0].owner, Options().hwnd());
  EXPECT_FALSE(Options().IsVisible());
  SetFileAttributesW(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  Command(Form1::kMenuOption);
  Click(Ctl(Opt::kCmdOK));
  EXPECT_FALSE(Options().IsVisible());
  EXPECT_EQ(Ini(), IniFor(windows, "6", Utf8FromPath(windows) + "\\write.exe "));
}

TEST_F(DialogTest, EditorChoiceShowsInTheOptionsDialogAlsoWhenHiddenOrMadeAnew) {
  files.WriteWholeFile(logsDir / L"one.exe", "MZ");
  files.WriteWholeFile(logsDir / L"two.exe", "MZ");
  Start();
  auto choose = [&](const wchar_t* name, int answer) {
    SendMessageW(Control(Form1::kFile1), LB_SETSEL, FALSE, -1);
    SelectFiles({name});
    boxes.answers = {answer};
    Notify(Form1::kFile1, LBN_DBLCLK);
  };
  // The folder's name holds a blank, so the program's path is quoted.
  const std::wstring one = Stars(L"\"" + (logsDir / L"one.exe").native() + L"\" ");
  const std::wstring two = Stars(L"\"" + (logsDir / L"two.exe").native() + L"\" ");

  // Hidden since start-up: the line follows a confirmed choice, not a cancelled one.
  choose(L"one.exe", kOk);
  EXPECT_FALSE(Options().IsVisible());
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), one);
  choose(L"two.exe", kCancel);
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), one);

  // Shown: it changes at once.
  Command(Form1::kMenuOption);
  choose(L"two.exe", kOk);
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), two);

  // Closed through the title bar: gone, and made afresh with the editor of
  // that moment; what was typed is gone with it.
  TypeNumber(L"7");
  HWND first = Options().hwnd();
  SendMessageW(first, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(Options().hwnd(), nullptr);
  choose(L"one.exe", kOk);
  Command(Form1::kMenuOption);
  ASSERT_NE(Options().hwnd(), nullptr);
  EXPECT_TRUE(Options().IsVisible());
  EXPECT_EQ(Text(Options().hwnd()), L"     options");
  EXPECT_EQ(Text(Ctl(Opt::kLabel3)), one);
  EXPECT_EQ(NumberBox(), L"3");
  EXPECT_EQ(SendMessageW(Ctl(Opt::kCombo1), CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(GetFocus(), Ctl(Opt::kCmdOK));
}

TEST_F(DialogTest, AboutShowsTheProgramAndItsLinksOpenThroughTheShell) {
  Form1& f = Start();
  Command(Form1::kMenuVersion);
  FrmAbout& about = About();
  HWND window = about.hwnd();
  ASSERT_TRUE(about.IsVisible());
  using A = FrmAbout;
  EXPECT_EQ(Text(about.Control(A::kLblTitle)), L"TAVI-1 (Vandrosk)");
  EXPECT_EQ(Text(about.Control(A::kLabel2)), L" version 1.0.8   1999.11");
  EXPECT_EQ(Text(about.Control(A::kLblDescription)), L"TAVI-1 project");
  EXPECT_EQ(Text(about.Control(A::kLabel1)), L"tavi1@example.jp");
  EXPECT_EQ(Text(about.Control(A::kLblDisclaimer)), L" https://www.example.jp/tavi1/ ");
  EXPECT_EQ(Text(about.Control(A::kCmdCancel)), L"cancel");

  // Fonts: the title bold, the links bold and underlined, all 9 point.
  const int height = -MulDiv(9, static_cast<int>(GetDpiForWindow(window)), 72);
  auto font = [&](A::Id id) {
    LOGFONTW logFont{};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(about.Control(id), WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof logFont, &logFont);
    return logFont;
  };
  const LOGFONTW title = font(A::kLblTitle);
  EXPECT_STREQ(title.lfFaceName, L"ＭＳ Ｐゴシック");
  EXPECT_EQ(title.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_EQ(title.lfHeight, height);
  EXPECT_FALSE(title.lfUnderline);
  for (const A::Id link : {A::kLabel1, A::kLblDisclaimer}) {
    const LOGFONTW linkFont = font(link);
    EXPECT_EQ(linkFont.lfWeight, FW_BOLD);
    EXPECT_TRUE(linkFont.lfUnderline);
    EXPECT_EQ(linkFont.lfHeight, height);
  }
  EXPECT_EQ(font(A::kLabel2).lfWeight, FW_NORMAL);

  // Over a link the pointer is the hand holding a sheet (hot spot 13, 9);
  // over the other labels it stays the arrow.
  auto pointerOver = [&](HWND control) {
    SetCursor(nullptr);
    SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  HCURSOR hand = pointerOver(about.Control(A::kLabel1));
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(pointerOver(about.Control(A::kLblDisclaimer)), hand);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 13u);
  EXPECT_EQ(info.yHotspot, 9u);
  BITMAP mask{};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, 32);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  // The other labels let the mouse through to the dialog.
  POINT inTitle{5, 5};
  ClientToScreen(about.Control(A::kLblTitle), &inTitle);
  EXPECT_EQ(
      SendMessageW(about.Control(A::kLblTitle), WM_NCHITTEST, 0, MAKELPARAM(inTitle.x, inTitle.y)),
      HTTRANSPARENT);
  EXPECT_NE(pointerOver(window), hand);

  // The links open through the shell; the blanks around the web address
  // are not part of it. The dialog stays.
  ClickLabel(about.Control(A::kLabel1));
  ClickLabel(about.Control(A::kLblDisclaimer));
  ClickLabel(about.Control(A::kLblTitle));
  EXPECT_EQ(shell.opened,
            (std::vector<std::string>{"mailto:tavi1@example.jp", "https://www.example.jp/tavi1/"}));
  EXPECT_TRUE(about.IsVisible());

  // Enlarged, nothing moves; cancel and Esc hide; shown again, the same window.
  const RECT linkBefore = RectIn(about.Control(A::kLblDisclaimer));
  RECT frame{};
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 200,
               frame.bottom - frame.top + 150, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  const RECT linkAfter = RectIn(about.Control(A::kLblDisclaimer));
  EXPECT_TRUE(EqualRect(&linkBefore, &linkAfter));
  Click(about.Control(A::kCmdCancel));
  EXPECT_FALSE(about.IsVisible());
  Command(Form1::kMenuVersion);
  EXPECT_EQ(about.hwnd(), window);
  Key(GetFocus(), VK_ESCAPE);
  EXPECT_FALSE(about.IsVisible());

  // Closed through the title bar: destroyed, and made afresh by the next showing.
  Command(Form1::kToolbarCommandBase + 6);  // "info"
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(about.hwnd(), nullptr);
  Command(Form1::kMenuVersion);
  ASSERT_NE(about.hwnd(), nullptr);
  EXPECT_TRUE(about.IsVisible());
  EXPECT_EQ(Text(about.Control(A::kLabel1)), L"tavi1@example.jp");
  (void)f;
}

TEST_F(DialogTest, AboutDrawsItsPictureFromTheTopLeftCorner) {
  Start();
  Command(Form1::kMenuVersion);
  HWND window = About().hwnd();
  if (GetDpiForWindow(window) != 96) GTEST_SKIP() << "the comparison is made at 96 DPI";
  // Larger than the picture, so that plain background shows beyond it.
  RECT frame{};
  GetWindowRect(window, &frame);
  SetWindowPos(window, HWND_TOP, 0, 0, frame.right - frame.left + 60, frame.bottom - frame.top + 60,
               SWP_NOZORDER);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

  // The picture as the resources hold it, pixel for pixel.
  HBITMAP picture =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), FrmAbout::kPictureResource,
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(picture, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, picture);
  HDC screen = GetDC(window);
  // Points away from the labels: the stripes at the top and the bottom,
  // the rule and the envelopes.
  const POINT points[] = {{3, 2}, {100, 2}, {170, 140}, {50, 225}, {145, 172}, {300, 302}};
  for (const POINT& p : points) {
    EXPECT_EQ(GetPixel(screen, p.x, p.y), GetPixel(memory, p.x, p.y)) << p.x << "," << p.y;
  }
  // Beyond the picture, the plain face colour.
  EXPECT_EQ(GetPixel(screen, 360, 100), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(screen, 100, 320), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(window, screen);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(picture);
}

TEST_F(DialogTest, BothDialogsWorkAtOnceWithTheMainWindowBehindThem) {
  std::filesystem::create_directories(logsDir / L"old");
  Form1& f = Start();
  Command(Form1::kMenuVersion);
  Command(Form1::kMenuOption);
  HWND options = Options().hwnd();
  HWND about = About().hwnd();
  EXPECT_TRUE(IsWindowVisible(options));
  EXPECT_TRUE(IsWindowVisible(about));
  // Modeless: every window takes input.
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(options));
  EXPECT_TRUE(IsWindowEnabled(about));
  // Showing one again brings the same window to the front.
  Command(Form1::kMenuOption);
  EXPECT_EQ(Options().hwnd(), options);
  EXPECT_EQ(GetForegroundWindow(), options);

  // The main window browses while both are open; each dialog does its work.
  DoubleClickDir1(L"old");
  EXPECT_EQ(Label1(), (logsDir / L"old").native());
  Click(Ctl(Opt::kCommand2));
  EXPECT_EQ(Text(Ctl(Opt::kLabel5)), Stars((logsDir / L"old").native()));
  ClickLabel(About().Control(FrmAbout::kLabel1));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"mailto:tavi1@example.jp"});

  // Esc hides only the dialog it is pressed in.
  Key(options, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(options));
  EXPECT_TRUE(IsWindowVisible(about));
  Key(about, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(about));
  EXPECT_NE(f.hwnd(), nullptr);
}

}  // namespace
}  // namespace tav::test
