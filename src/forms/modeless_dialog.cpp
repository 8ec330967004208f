#include "forms/modeless_dialog.h"

namespace tav {

bool ModelessDialog::Create(HWND owner) {
  if (hwnd() != nullptr) return true;
  owner_ = owner;
  const Design design = GetDesign();
  const UINT dpi = GetDpiForSystem();
  RECT frame{0, 0, Px(design.clientWidth, dpi), Px(design.clientHeight, dpi)};
  AdjustWindowRectExForDpi(&frame, design.style, FALSE, design.exStyle, dpi);
  // The system places the dialog where it opens.
  if (!CreateWindowOfClass(design.className, design.exStyle, design.caption.c_str(), design.style,
                           CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                           frame.bottom - frame.top, owner, nullptr)) {
    return false;
  }
  focus_ = nullptr;
  Form_Load();
  return true;
}

void ModelessDialog::Show() {
  if (!Create(owner_)) return;
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  BringWindowToTop(hwnd());
}

void ModelessDialog::Hide() {
  if (hwnd() != nullptr) ShowWindow(hwnd(), SW_HIDE);
}

bool ModelessDialog::IsVisible() const {
  return hwnd() != nullptr && IsWindowVisible(hwnd());
}

bool ModelessDialog::TranslateDialogMessage(MSG& message) {
  if (!IsVisible()) return false;
  if (message.hwnd != hwnd() && !IsChild(hwnd(), message.hwnd)) return false;
  return IsDialogMessageW(hwnd(), &message) != 0;
}

void ModelessDialog::OnCommand(int id, int /*code*/, HWND /*control*/) {
  if (id == IDCANCEL) Hide();
}

void ModelessDialog::SetLabelText(int id, const std::wstring& text) {
  HWND label = Control(id);
  SetWindowTextW(label, text.c_str());
  RECT area{};
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(hwnd(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT ModelessDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_ACTIVATE:
      // As a dialog box does: the focus leaves with the dialog and comes back
      // to the same control, or to the first control of the focus order.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) focus_ = focus;
      } else {
        if (focus_ == nullptr || !IsWindow(focus_)) {
          focus_ = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
        }
        if (focus_ != nullptr) SetFocus(focus_);
      }
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
      SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wParam));
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    }
    case WM_CLOSE:
      // The title bar's close button: the dialog goes, and comes back new.
      DestroyWindow(hwnd());
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace tav
