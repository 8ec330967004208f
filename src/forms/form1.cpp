// Form1: creating the window and its controls, laying them out for the
// DPI, and routing the window's messages to the handlers.
#include "forms/form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include "forms/folder_listing.h"
#include "forms/twips.h"

namespace tav {

namespace {

constexpr COLORREF kListColour = RGB(255, 192, 192);
constexpr wchar_t kFontName[] = L"ＭＳ Ｐゴシック";
constexpr int kFontPoints = 9;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

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
// The drop-down part of the combo boxes shows this many entries.
constexpr int kDropDownEntries = 9;

void Place(HWND control, const TwipsRect& rect, UINT dpi, int extraHeight = 0) {
  SetWindowPos(control, nullptr, Px(rect.left, dpi), Px(rect.top, dpi), Px(rect.width, dpi),
               Px(rect.height, dpi) + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE);
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

bool Form1::Create(int showCommand) {
  listBrush_ = CreateSolidBrush(kListColour);
  if (!CreateWindowOfClass(L"TavForm1", kExStyle, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr)) {
    return false;
  }
  const UINT dpi = Dpi();
  CreateFonts(dpi);
  CreateMenuBar();
  CreateControls();
  CreateTooltips();
  Layout(dpi);
  Centre(dpi);

  // Before the load step the lists show the process's current directory.
  drive1_.Refresh();
  const std::filesystem::path current = NormalizeFolder(L".");
  drive1_.SetDrive(current);
  if (dir1_.SetPath(current).ok) FillFile1(dir1_.Path());

  Form_Load();
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
  return IsDialogMessageW(hwnd(), &message) != 0;
}

void Form1::CreateFonts(UINT dpi) {
  if (font_ != nullptr) DeleteObject(font_);
  if (boldFont_ != nullptr) DeleteObject(boldFont_);
  auto make = [dpi](int weight) {
    return CreateFontW(FontHeight(kFontPoints, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, kFontName);
  };
  font_ = make(FW_NORMAL);
  boldFont_ = make(FW_BOLD);
}

void Form1::CreateMenuBar() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kMenuEdit, L"edit");
  AppendMenuW(file, MF_STRING, kMenuRun, L"run");
  AppendMenuW(file, MF_STRING, kMenuEnd, L"end");
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
  drive1_.Create(window, kDrive1);
  CreateControl(window, L"LISTBOX", L"",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_SORT | LBS_HASSTRINGS |
                    LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, kFile1);
  CreateControl(window, L"BUTTON", L"Full Auto", WS_TABSTOP | BS_CHECKBOX, 0, kCheck1);
  CreateControl(window, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                0, kCombo1);
  CreateControl(window, L"STATIC", L"", SS_CENTER | SS_NOPREFIX | SS_PATHELLIPSIS | SS_SUNKEN, 0,
                kLabel1);
  // SS_NOTIFY: a static control is otherwise transparent to the mouse, and
  // its tooltip would never show.
  CreateControl(window, L"STATIC", L"Directory Name", SS_RIGHT | SS_NOTIFY, 0, kLabel2);
  CreateControl(window, STATUSCLASSNAMEW, L"", 0, 0, kStatusBar1);

  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  // Two panels, then their initial texts.
  const UINT dpi = Dpi();
  const int edges[2] = {Px(kPanel1Width, dpi), Px(kPanel1Width + kPanel2Width, dpi)};
  SendMessageW(Control(kStatusBar1), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
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
  SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void Form1::Layout(UINT dpi) {
  Place(drive1_.hwnd(), kDrive1Rect, dpi, Px(240, dpi) * kDropDownEntries);
  Place(dir1_.hwnd(), kDir1Rect, dpi);
  SendMessageW(dir1_.hwnd(), LB_SETITEMHEIGHT, 0, Px(240, dpi));
  Place(Control(kFile1), kFile1Rect, dpi);
  Place(Control(kLabel1), kLabel1Rect, dpi);
  Place(Control(kLabel2), kLabel2Rect, dpi);
  Place(Control(kCombo1), kCombo1Rect, dpi, Px(240, dpi) * kDropDownEntries);
  Place(Control(kCheck1), kCheck1Rect, dpi);

  HWND toolbar = Control(kToolbar1);
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
  HWND statusBar = Control(kStatusBar1);
  SendMessageW(statusBar, WM_SIZE, 0, 0);
  const int edges[2] = {Px(kPanel1Width, dpi), Px(kPanel1Width + kPanel2Width, dpi)};
  SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, Px(4500, dpi));
}

void Form1::Centre(UINT dpi) {
  RECT frame{0, 0, Px(kClientWidth, dpi), Px(kClientHeight, dpi)};
  AdjustWindowRectExForDpi(&frame, kStyle, TRUE, kExStyle, dpi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes client height: grow the frame by as much.
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int missing = Px(kClientHeight, dpi) - client.bottom;
  if (missing > 0) {
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height + missing,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
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
    case WM_DPICHANGED: {
      const UINT dpi = HIWORD(wParam);
      CreateFonts(dpi);
      for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(
                         child == Control(kStatusBar1) && statusBold_ ? boldFont_ : font_),
                     TRUE);
      }
      const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
      SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(dpi);
      return 0;
    }
    case WM_SIZE:
      // The toolbar and the status bar keep to the top and the bottom edge.
      SendMessageW(Control(kToolbar1), TB_AUTOSIZE, 0, 0);
      SendMessageW(Control(kStatusBar1), WM_SIZE, 0, 0);
      return 0;
    case WM_CLOSE:
      // The title bar's close button ends the program as `end` does.
      end_Click();
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
    case kDrive1:
      if (code == CBN_SELCHANGE) Drive1_Change();
      return;
    case kDir1:
      // A folder is entered by double-click.
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

}  // namespace tav
