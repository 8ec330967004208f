#include "forms/frm_options.h"

#include "forms/design.h"
#include "platform/win32_text.h"

namespace tav {

namespace {

// Positions of the controls as designed (twips: left, top, width, height).
constexpr TwipsRect kLabel1Rect{120, 120, 5475, 975};
constexpr TwipsRect kCombo1Rect{4920, 240, 555, 300};
constexpr TwipsRect kLabel2Rect{120, 1200, 5475, 1335};
constexpr TwipsRect kLabel3Rect{240, 2220, 5235, 255};
constexpr TwipsRect kLabel6Rect{120, 2640, 5475, 1335};
constexpr TwipsRect kCommand2Rect{4080, 2760, 1395, 315};
constexpr TwipsRect kLabel5Rect{240, 3660, 5235, 255};
constexpr TwipsRect kLabel4Rect{120, 4080, 5475, 1275};
constexpr TwipsRect kCommand1Rect{4080, 4200, 1395, 315};
constexpr TwipsRect kCmdOKRect{3540, 5520, 915, 315};
constexpr TwipsRect kCmdCancelRect{4680, 5520, 915, 315};
}  // namespace

FrmOptions::~FrmOptions() {
  if (font_ != nullptr) DeleteObject(font_);
}

ModelessDialog::Design FrmOptions::GetDesign() const {
  // A fixed dialog frame with only the close button in its title bar. The
  // window paints its background under its children (no WS_CLIPCHILDREN):
  // the labels are transparent.
  return {L"TavOptions",
          kCaption,
          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
          kClientWidth,
          kClientHeight};
}

void FrmOptions::CreateControls() {
  HWND window = hwnd();
  // Created in the focus order: cmdOK, cmdCancel, Combo1, Command1, Command2.
  // Controls made first lie on top, so the number box and the buttons stay
  // above the paragraph boxes they sit in.
  CreateControl(window, L"BUTTON", L"set", WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdOK);
  CreateControl(window, L"BUTTON", L"cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdCancel);
  CreateControl(window, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                0, kCombo1);
  CreateControl(window, L"BUTTON", L".ini-file Reset", WS_TABSTOP | BS_PUSHBUTTON, 0, kCommand1);
  CreateControl(window, L"BUTTON", L"Def_Dir", WS_TABSTOP | BS_PUSHBUTTON, 0, kCommand2);

  // The star lines lie above the paragraphs that hold them. A path too long
  // for its line keeps its start and its end, with "..." between.
  const DWORD starLine = SS_CENTER | SS_NOPREFIX | SS_PATHELLIPSIS | WS_CLIPSIBLINGS;
  CreateControl(window, L"STATIC", L"", starLine, 0, kLabel3);
  CreateControl(window, L"STATIC", L"", starLine, 0, kLabel5);
  // The paragraphs wrap within their boxes, also between Japanese
  // characters (SS_EDITCONTROL), which have no blanks to break at.
  const DWORD paragraph = SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | SS_SUNKEN | WS_CLIPSIBLINGS;
  for (const int id : {kLabel1, kLabel2, kLabel4, kLabel6}) {
    CreateControl(window, L"STATIC", L"", paragraph, 0, id);
  }
}

void FrmOptions::Layout(UINT dpi) {
  // The controls let go of the old font before it is deleted.
  HFONT old = font_;
  font_ = CreateFormFont(dpi);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  if (old != nullptr) DeleteObject(old);
  Place(Control(kLabel1), kLabel1Rect, dpi);
  PlaceComboBox(Control(kCombo1), kCombo1Rect, dpi);
  Place(Control(kLabel2), kLabel2Rect, dpi);
  Place(Control(kLabel3), kLabel3Rect, dpi);
  Place(Control(kLabel6), kLabel6Rect, dpi);
  Place(Control(kCommand2), kCommand2Rect, dpi);
  Place(Control(kLabel5), kLabel5Rect, dpi);
  Place(Control(kLabel4), kLabel4Rect, dpi);
  Place(Control(kCommand1), kCommand1Rect, dpi);
  Place(Control(kCmdOK), kCmdOKRect, dpi);
  Place(Control(kCmdCancel), kCmdCancelRect, dpi);
}

void FrmOptions::Form_Load() {
  CreateControls();
  Layout(Dpi());

  AddNumberItems(Control(kCombo1));
  SetWindowTextW(Control(kCombo1), std::to_wstring(g_.DirNameLen).c_str());

  // Each paragraph is built in MsgText, then given to its label.
  g_.BuildFolderParagraph();
  SetLabelText(kLabel1, Widen(g_.MsgText));
  g_.BuildEditorParagraph();
  SetLabelText(kLabel2, Widen(g_.MsgText));
  ShowEditorLine();
  g_.BuildResetParagraph();
  SetLabelText(kLabel4, Widen(g_.MsgText));
  g_.BuildDefaultDirParagraph();
  SetLabelText(kLabel6, Widen(g_.MsgText));
  ShowDefaultDirLine();
}

void FrmOptions::ShowEditorLine() {
  if (hwnd() != nullptr) SetLabelText(kLabel3, Widen(g_.EditorStarLine()));
}

void FrmOptions::ShowDefaultDirLine() {
  if (hwnd() != nullptr) SetLabelText(kLabel5, Widen(g_.DefaultDirStarLine()));
}

void FrmOptions::cmdOK_Click() {
  // A number out of range or a failed write is reported over the dialog,
  // which then goes as it does after a good one.
  g_.StoreDirNameLen(Narrow(Text(Control(kCombo1))));
  Hide();
}

void FrmOptions::cmdCancel_Click() {
  // Nothing is undone: the reset and Def_Dir are stored already, and the
  // number box keeps its text for the next showing.
  Hide();
}

void FrmOptions::Command1_Click() {
  g_.ResetSettings();
  ShowEditorLine();
  ShowDefaultDirLine();
}

void FrmOptions::Command2_Click() {
  g_.StoreDefaultDir();
  ShowEditorLine();
  ShowDefaultDirLine();
}

void FrmOptions::OnCommand(int id, int code, HWND /*control*/) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kCmdOK:
      cmdOK_Click();
      break;
    case kCmdCancel:
      cmdCancel_Click();
      break;
    case kCommand1:
      Command1_Click();
      break;
    case kCommand2:
      Command2_Click();
      break;
    default:
      break;
  }
}

bool FrmOptions::IsLabel(HWND control) const {
  const int id = GetDlgCtrlID(control);
  return GetParent(control) == hwnd() && id >= kLabel1 && id <= kLabel6;
}

LRESULT FrmOptions::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC && IsLabel(reinterpret_cast<HWND>(lParam))) {
    // The labels' backgrounds are transparent: only their text is drawn.
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  return ModelessDialog::HandleMessage(message, wParam, lParam);
}

}  // namespace tav
