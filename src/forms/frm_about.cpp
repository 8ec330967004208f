#include "forms/frm_about.h"

#include <string>

#include "forms/design.h"
#include "platform/win32_text.h"

namespace tav {

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

// Positions of the controls as designed (twips: left, top, width, height).
constexpr TwipsRect kLblTitleRect{240, 300, 3825, 285};
constexpr TwipsRect kLabel2Rect{1980, 540, 1995, 210};
constexpr TwipsRect kLblDescriptionRect{720, 780, 2835, 225};
constexpr TwipsRect kLabel1Rect{720, 1260, 2835, 225};
constexpr TwipsRect kLblDisclaimerRect{420, 1560, 3465, 255};
constexpr TwipsRect kCmdCancelRect{3660, 3960, 1140, 345};

}  // namespace

FrmAbout::~FrmAbout() {
  DeleteFonts();
  if (picture_ != nullptr) DeleteObject(picture_);
}

ModelessDialog::Design FrmAbout::GetDesign() const {
  // A sizable frame with minimise, maximise and close buttons. The window
  // paints its picture under its children (no WS_CLIPCHILDREN): the labels
  // are transparent.
  return {L"TavAbout",         kCaption,     WS_OVERLAPPEDWINDOW,
          WS_EX_CONTROLPARENT, kClientWidth, kClientHeight};
}

void FrmAbout::CreateControls() {
  HWND window = hwnd();
  CreateControl(window, L"BUTTON", L"cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdCancel);
  // The labels are drawn here (SS_OWNERDRAW): transparent, centred on one
  // line that is never broken, so that a font a little wider than designed
  // cuts the framing blanks instead of pushing the end onto a hidden line.
  const DWORD label = SS_OWNERDRAW | WS_CLIPSIBLINGS;
  CreateControl(window, L"STATIC", L"TAVI-1 (Vandrosk)", label, 0, kLblTitle);
  CreateControl(window, L"STATIC", L" version 1.0.8   1999.11", label, 0, kLabel2);
  CreateControl(window, L"STATIC", Widen(kCredit).c_str(), label, 0, kLblDescription);
  // The links take the mouse (SS_NOTIFY): their own pointer, and clicks.
  CreateControl(window, L"STATIC", Widen(kMailAddress).c_str(), label | SS_NOTIFY, 0, kLabel1);
  const std::wstring web = L" " + Widen(kWebAddress) + L" ";
  CreateControl(window, L"STATIC", web.c_str(), label | SS_NOTIFY, 0, kLblDisclaimer);
}

void FrmAbout::DeleteFonts() {
  for (HFONT* font : {&font_, &titleFont_, &linkFont_}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
}

void FrmAbout::Layout(UINT dpi) {
  // The labels let go of the old fonts before they are deleted.
  const HFONT old[] = {font_, titleFont_, linkFont_};
  font_ = CreateFormFont(dpi);
  titleFont_ = CreateFormFont(dpi, FW_BOLD);
  linkFont_ = CreateFormFont(dpi, FW_BOLD, true);
  auto setFont = [this](int id, HFONT font) {
    SendMessageW(Control(static_cast<Id>(id)), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  setFont(kLblTitle, titleFont_);
  setFont(kLabel2, font_);
  setFont(kLblDescription, font_);
  setFont(kLabel1, linkFont_);
  setFont(kLblDisclaimer, linkFont_);
  setFont(kCmdCancel, font_);
  for (HFONT font : old) {
    if (font != nullptr) DeleteObject(font);
  }

  Place(Control(kLblTitle), kLblTitleRect, dpi);
  Place(Control(kLabel2), kLabel2Rect, dpi);
  Place(Control(kLblDescription), kLblDescriptionRect, dpi);
  Place(Control(kLabel1), kLabel1Rect, dpi);
  Place(Control(kLblDisclaimer), kLblDisclaimerRect, dpi);
  Place(Control(kCmdCancel), kCmdCancelRect, dpi);
}

void FrmAbout::Form_Load() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (picture_ == nullptr) {
    picture_ = static_cast<HBITMAP>(
        LoadImageW(instance, kPictureResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  if (hand_ == nullptr) {
    hand_ = LoadCursorW(instance, kHandCursorResource);
    if (hand_ == nullptr) hand_ = LoadCursorW(nullptr, IDC_HAND);
  }
  CreateControls();
  Layout(Dpi());
}

void FrmAbout::PaintBackground(HDC dc) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  // The picture keeps to the top-left corner and grows with the DPI, as the
  // labels placed in twips do, so that they stay over its plain part.
  const UINT dpi = Dpi();
  const int width = picture_ != nullptr ? MulDiv(kPictureWidth, static_cast<int>(dpi), 96) : 0;
  const int height = picture_ != nullptr ? MulDiv(kPictureHeight, static_cast<int>(dpi), 96) : 0;
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  const RECT right{width, 0, client.right, client.bottom};
  const RECT below{0, height, width, client.bottom};
  FillRect(dc, &right, face);
  FillRect(dc, &below, face);
  if (picture_ == nullptr) return;

  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(source, picture_);
  if (width == kPictureWidth && height == kPictureHeight) {
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY);
  }
  SelectObject(source, previous);
  DeleteDC(source);
}

void FrmAbout::Label1_Click() {
  // Nothing is shown when no program handles mail links.
  shell_.OpenWithSystem(std::string("mailto:") + kMailAddress);
}

void FrmAbout::lblDisclaimer_Click() {
  // The address without the blanks that frame it on the screen.
  shell_.OpenWithSystem(kWebAddress);
}

void FrmAbout::cmdCancel_Click() {
  Hide();
}

void FrmAbout::OnCommand(int id, int code, HWND /*control*/) {
  // STN_CLICKED and BN_CLICKED are both 0.
  if (code != STN_CLICKED) return;
  switch (id) {
    case kLabel1:
      Label1_Click();
      break;
    case kLblDisclaimer:
      lblDisclaimer_Click();
      break;
    case kCmdCancel:
      cmdCancel_Click();
      break;
    default:
      break;
  }
}

bool FrmAbout::IsLink(HWND control) const {
  return control != nullptr && (control == Control(kLabel1) || control == Control(kLblDisclaimer));
}

COLORREF FrmAbout::TextColour(int id) {
  switch (id) {
    case kLblTitle:
      return GetSysColor(COLOR_WINDOWTEXT);
    case kLabel1:
    case kLblDisclaimer:
      return kLinkBlue;
    default:
      return kBlack;
  }
}

void FrmAbout::DrawLabel(const DRAWITEMSTRUCT& item) {
  // Only the text is drawn: the picture shows around it.
  const std::wstring text = Text(item.hwndItem);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(item.hDC, font);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, TextColour(static_cast<int>(item.CtlID)));
  RECT area = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
            DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, previous);
}

LRESULT FrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_STATIC) break;
      DrawLabel(item);
      return TRUE;
    }
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wParam)) && LOWORD(lParam) == HTCLIENT) {
        SetCursor(hand_);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return ModelessDialog::HandleMessage(message, wParam, lParam);
}

}  // namespace tav
