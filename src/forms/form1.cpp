// Form1: creating the window and its controls, laying them out for the
// DPI, and routing the window's messages to the handlers.
#include "forms/form1.h"

#include <commctrl.h>
#include <dbt.h>
#include <windowsx.h>

#include "forms/design.h"
#include "forms/folder_listing.h"
#include "forms/list_keys.h"
#include "forms/twips.h"

namespace tav {

namespace {

constexpr COLORREF kListColour = RGB(255, 192, 192);

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Files dropped from Explorer are selected in File1.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

// Positions of the controls as designed (twips: left, top, width, height).
constexpr TwipsRect kDrive1Rect{180, 720, 2055, 300};
constexpr TwipsRect kDir1Rect{180, 1200, 2055, 2400};
constexpr TwipsRect kFile1Rect{2460, 660, 1815, 2970};
constexpr TwipsRect kLabel1Rect{180, 3840, 4095, 255};
constexpr TwipsRect kLabel2Rect{180, 4380, 1335, 195};
constexpr TwipsRect kCombo1Rect{1620, 4320, 495, 300};
constexpr TwipsRect kCheck1Rect{2700, 4380, 1275, 195};
constexpr int kPanel1Width = 1100;
constexpr int kPanel2Width = 2000;
constexpr UINT_PTR kFormPanelTool = 1;
constexpr int kDir1EntryHeight = 240;
constexpr int kTooltipWidth = 4500;

// Keys and mouse buttons. Moving the pointer is not input here, and the
// caption may still be dragged to move the window.
bool IsUserInput(const MSG& message) {
  if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) return false;
  if (message.message == WM_NCLBUTTONDOWN) return message.wParam != HTCAPTION;
  return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
         (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) ||
         (message.message >= WM_NCMOUSEMOVE && message.message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

Form1::Form1(Shell& shell, FileSystem& files, MessageBoxes& boxes)
    : shell_(shell),
      files_(files),
      boxes_(boxes),
      program_(*this, files, &shell),
      frmOptions_(program_.global),
      frmAbout_(shell) {}

Form1::~Form1() {
  if (hwnd() != nullptr) {
    frmOptions_.Hide();
    frmAbout_.Hide();
  }
  if (imageList1_ != nullptr) ImageList_Destroy(imageList1_);
  if (font_ != nullptr) DeleteObject(font_);
  if (boldFont_ != nullptr) DeleteObject(boldFont_);
  if (listBrush_ != nullptr) DeleteObject(listBrush_);
}

bool Form1::Create(int showCommand, const std::vector<std::filesystem::path>& startFiles) {
  listBrush_ = CreateSolidBrush(kListColour);
  if (!CreateWindowOfClass(L"TavForm1", kExStyle, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr)) {
    return false;
  }
  CreateMenuBar();
  CreateControls();
  CreateTooltips();
  SetFonts(Dpi());
  Layout(Dpi());
  Centre();

  // Before the load step the lists show the process's current directory.
  drive1_.Refresh();
  const std::filesystem::path current = NormalizeFolder(L".");
  drive1_.SetDrive(current);
  if (dir1_.SetPath(current).ok) FillFile1(dir1_.Path());

  Form_Load();
  if (!startFiles.empty()) SelectDroppedFiles(startFiles);
  // Shown and so activated, the window gives the focus to Dir1 (KeepFocus).
  ShowWindow(hwnd(), showCommand);
  UpdateWindow(hwnd());
  return true;
}

bool Form1::TranslateDialogMessage(MSG& message) {
  if (frmOptions_.TranslateDialogMessage(message)) return true;
  if (frmAbout_.TranslateDialogMessage(message)) return true;
  if (hwnd() == nullptr || (message.hwnd != hwnd() && !IsChild(hwnd(), message.hwnd))) {
    return false;
  }
  if (message.message == WM_KEYDOWN && message.wParam == VK_F5) {
    if (!runActive_) RefreshLists();
    return true;
  }
  return IsDialogMessageW(hwnd(), &message) != 0;
}

void Form1::SetFonts(UINT dpi) {
  // The controls let go of the old fonts before they are deleted.
  HFONT oldFont = font_;
  HFONT oldBold = boldFont_;
  font_ = CreateFormFont(dpi);
  boldFont_ = CreateFormFont(dpi, FW_BOLD);
  HWND statusBar = Control(kStatusBar1);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    HFONT font = child == statusBar && statusBold_ ? boldFont_ : font_;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  if (oldFont != nullptr) DeleteObject(oldFont);
  if (oldBold != nullptr) DeleteObject(oldBold);
}

void Form1::CreateMenuBar() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kMenuEdit, L"edit");
  AppendMenuW(file, MF_STRING, kMenuRun, L"run");
  AppendMenuW(file, MF_STRING, kMenuEnd, L"end");
  // After `end`, so that the items before keep their places.
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  for (const OutputForm form : {OutputForm::Log, OutputForm::Mime, OutputForm::Archive}) {
    AppendMenuW(file, MF_STRING, FormCommand(form), FormMenuText(form));
  }
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kMenuOpenArchive, kOpenArchiveText);
  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, kMenuHelpHtml, L"help HTML");
  AppendMenuW(help, MF_STRING, kMenuIniFile, L"ini_file");
  AppendMenuW(help, MF_STRING, kMenuVersion, L"version");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"file");
  // `option` is a command on the bar itself.
  AppendMenuW(bar, MF_STRING, kMenuOption, L"option");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"help");
  SetMenu(hwnd(), bar);
}

void Form1::CreateControls() {
  HWND window = hwnd();
  CreateControl(window, TOOLBARCLASSNAMEW, L"",
                CCS_TOP | CCS_NODIVIDER | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0, kToolbar1);
  // Created in the tab order: Dir1, Drive1, File1, Check1, Combo1.
  dir1_.Create(window, kDir1);
  EnterActsAsDoubleClick(dir1_.hwnd());
  drive1_.Create(window, kDrive1);
  CreateControl(window, L"LISTBOX", L"",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_SORT | LBS_HASSTRINGS |
                    LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, kFile1);
  CtrlASelectsAll(Control(kFile1));
  CreateControl(window, L"BUTTON", L"Full Auto", WS_TABSTOP | BS_CHECKBOX, 0, kCheck1);
  CreateControl(window, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                0, kCombo1);
  CreateControl(window, L"STATIC", L"", SS_CENTER | SS_NOPREFIX | SS_PATHELLIPSIS | SS_SUNKEN, 0,
                kLabel1);
  // SS_NOTIFY: a static control is otherwise transparent to the mouse, and
  // its tooltip would never show.
  CreateControl(window, L"STATIC", L"Directory Name", SS_RIGHT | SS_NOTIFY, 0, kLabel2);
  CreateControl(window, STATUSCLASSNAMEW, L"", 0, 0, kStatusBar1);

  // Three panels, then the initial texts of the first two.
  const int edges[3] = {Px(kPanel1Width, Dpi()), Px(kPanel1Width + kPanel2Width, Dpi()), -1};
  SendMessageW(Control(kStatusBar1), SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  SendMessageW(Control(kStatusBar1), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"status"));
  SendMessageW(Control(kStatusBar1), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"file "));
}

void Form1::CreateTooltips() {
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  auto add = [this](HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  add(dir1_.hwnd(), L"ダブルクリックでフォルダを選択してください。");
  add(Control(kFile1),
      L"同時に複数のファイルを選択、処理する事ができます。　"
      L"また、エディタを選択しダブルクリックすると、呼び出すエディタを変更できます。");
  add(Control(kLabel2), L"　ログファイル名の先頭から何文字目までをフォルダ名にしますか？");
  add(Control(kCheck1), L"複数選択実行時の問い合わせを一切行ないません。");

  // The status bar's form panel; its rectangle follows the layout.
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = Control(kStatusBar1);
  tool.uId = kFormPanelTool;
  tool.lpszText = const_cast<wchar_t*>(
      L"次の実行で書き出す形式です。クリックすると変えられます（「file」メニューでも選べます）。");
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::Layout(UINT dpi) {
  PlaceComboBox(drive1_.hwnd(), kDrive1Rect, dpi);
  Place(dir1_.hwnd(), kDir1Rect, dpi);
  SendMessageW(dir1_.hwnd(), LB_SETITEMHEIGHT, 0, Px(kDir1EntryHeight, dpi));
  Place(Control(kFile1), kFile1Rect, dpi);
  Place(Control(kLabel1), kLabel1Rect, dpi);
  Place(Control(kLabel2), kLabel2Rect, dpi);
  PlaceComboBox(Control(kCombo1), kCombo1Rect, dpi);
  Place(Control(kCheck1), kCheck1Rect, dpi);

  HWND toolbar = Control(kToolbar1);
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
  HWND statusBar = Control(kStatusBar1);
  SendMessageW(statusBar, WM_SIZE, 0, 0);
  const int edges[3] = {Px(kPanel1Width, dpi), Px(kPanel1Width + kPanel2Width, dpi), -1};
  SendMessageW(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = statusBar;
  tool.uId = kFormPanelTool;
  SendMessageW(statusBar, SB_GETRECT, kFormPanel, reinterpret_cast<LPARAM>(&tool.rect));
  SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, Px(kTooltipWidth, dpi));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Form1::Centre() {
  FitFrame(kClientWidth, kClientHeight, 0, 0);
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd(), nullptr,
               work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
               work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetFonts(dpi);
  LoadToolbarImages(dpi);
  FitFrame(kClientWidth, kClientHeight, suggested.left, suggested.top);
  Layout(dpi);
}

HWND Form1::BoxOwner() const {
  if (!runActive_) {
    if (frmOptions_.InCommand()) return frmOptions_.hwnd();
    if (frmAbout_.InCommand()) return frmAbout_.hwnd();
  }
  return hwnd();
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // During a run no command starts: not another run, a change of the
      // folder or the selection, nor a dialog.
      if (!runActive_) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_ACTIVATE:
      KeepFocus(wParam);
      return 0;
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlID == kDir1) {
        dir1_.MeasureItem(item, Dpi());
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID == kDir1) {
        dir1_.DrawItem(item, listBrush_, Dpi());
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
      return 0;
    case WM_DEVICECHANGE: {
      // A drive that comes or goes: a stick plugged in, a share mapped. A
      // run keeps its lists; the refresh after it shows the drive.
      const auto* device = reinterpret_cast<DEV_BROADCAST_HDR*>(lParam);
      if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) &&
          device != nullptr && device->dbch_devicetype == DBT_DEVTYP_VOLUME && !runActive_) {
        RefreshLists();
      }
      return TRUE;
    }
    case WM_SIZE:
      // The toolbar and the status bar keep to the top and the bottom edge.
      SendMessageW(Control(kToolbar1), TB_AUTOSIZE, 0, 0);
      SendMessageW(Control(kStatusBar1), WM_SIZE, 0, 0);
      return 0;
    case WM_CLOSE:
      // The title bar's close button ends the program as `end` does, but
      // not in the middle of a run.
      if (!runActive_) end_Click();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void Form1::OnCommand(int id, int code) {
  switch (id) {
    case kMenuEdit:
      edit_Click();
      return;
    case kMenuRun:
      run_Click();
      return;
    case kMenuEnd:
      end_Click();
      return;
    case kMenuOption:
      option_Click();
      return;
    case kMenuHelpHtml:
      helphtml_Click();
      return;
    case kMenuIniFile:
      ini_file_Click();
      return;
    case kMenuVersion:
      version_Click();
      return;
    case kMenuFormLog:
      outputForm_Click(OutputForm::Log);
      return;
    case kMenuFormMime:
      outputForm_Click(OutputForm::Mime);
      return;
    case kMenuFormArchive:
      outputForm_Click(OutputForm::Archive);
      return;
    case kMenuOpenArchive:
      openArchive_Click();
      return;
    case kDrive1:
      if (code == CBN_SELCHANGE) Drive1_Change();
      return;
    case kDir1:
      // A folder is entered by double-click or Enter.
      if (code == LBN_DBLCLK) {
        const auto index = static_cast<int>(SendMessageW(dir1_.hwnd(), LB_GETCURSEL, 0, 0));
        const std::filesystem::path folder = dir1_.EntryPath(index);
        if (!folder.empty()) SetDir1Path(folder);
      }
      return;
    case kFile1:
      if (code == LBN_DBLCLK) File1_DblClick();
      return;
    case kCheck1:
      if (code == BN_CLICKED) Check1_Click();
      return;
    default:
      break;
  }
  if (id >= kToolbarCommandBase && id < kToolbarCommandBase + kToolbarButtons) {
    const char* key = kToolbar[static_cast<std::size_t>(id - kToolbarCommandBase)].key;
    Toolbar1_ButtonClick(key != nullptr ? key : "");
  }
}

LRESULT Form1::OnNotify(NMHDR& header) {
  if (header.idFrom == kStatusBar1 && header.code == NM_CLICK && !runActive_) {
    if (reinterpret_cast<NMMOUSE&>(header).dwItemSpec == kFormPanel) ShowFormMenu();
    return TRUE;
  }
  if (header.code == TTN_GETDISPINFOW) {
    const auto id = static_cast<int>(header.idFrom);
    if (id >= kToolbarCommandBase && id < kToolbarCommandBase + kToolbarButtons) {
      auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
      info.lpszText = const_cast<wchar_t*>(
          kToolbar[static_cast<std::size_t>(id - kToolbarCommandBase)].tooltip);
      return 0;
    }
  }
  return 0;
}

LRESULT Form1::OnControlColor(HDC dc, HWND control, UINT message) {
  // The lists and the number box have a pink background; the drop-down
  // lists and the combo boxes' own parts ask too.
  HWND combo = GetParent(control) == hwnd() ? control : GetParent(control);
  const bool pink =
      message != WM_CTLCOLORSTATIC || combo == drive1_.hwnd() || combo == Control(kCombo1);
  if (!pink)
    return DefWindowProcW(hwnd(), message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  SetBkColor(dc, kListColour);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(listBrush_);
}

void Form1::ShowFormMenu() {
  HMENU menu = CreatePopupMenu();
  for (const OutputForm form : {OutputForm::Log, OutputForm::Mime, OutputForm::Archive}) {
    AppendMenuW(menu, MF_STRING, FormCommand(form), FormMenuText(form));
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kMenuOpenArchive, kOpenArchiveText);
  const int chosen = FormCommand(program_.global.Output);
  CheckMenuRadioItem(menu, kMenuFormLog, kMenuFormArchive, chosen, MF_BYCOMMAND);
  POINT at{};
  GetCursorPos(&at);
  // The command chosen comes as WM_COMMAND, as from the menu bar.
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                 nullptr);
  DestroyMenu(menu);
}

void Form1::OnDropFiles(HDROP drop) {
  std::vector<std::filesystem::path> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    paths.emplace_back(path);
  }
  DragFinish(drop);
  SelectDroppedFiles(paths);
}

void Form1::KeepResponsive() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the program's message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsUserInput(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Form1::ReportException(const std::string& what) {
  MsgBox box;
  box.text = "処理を続けられないエラーが起きました。\r\n" + what + "\r\n";
  box.title = " Error!!";
  box.icon = Icon::Exclamation;
  box.reason = what;
  boxes_.Show(box, BoxOwner());
}

}  // namespace tav
