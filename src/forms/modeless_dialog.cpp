#include "forms/modeless_dialog.h"

namespace tav {

bool ModelessDialog::Create(HWND owner) {
  if (hwnd() != nullptr) return true;
  owner_ = owner;
  const Design design = GetDesign();
  // The system places the dialog where it opens; its size is known once its
  // monitor, and so its DPI, is.
  if (!CreateWindowOfClass(design.className, design.exStyle, design.caption.c_str(), design.style,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                           nullptr)) {
    return false;
  }
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  FitFrame(design.clientWidth, design.clientHeight, frame.left, frame.top);
  Form_Load();
  return true;
}

void ModelessDialog::FitToDpi(UINT dpi, int x, int y) {
  SetDpi(dpi);
  const Design design = GetDesign();
  FitFrame(design.clientWidth, design.clientHeight, x, y);
  Layout(dpi);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void ModelessDialog::Show() {
  if (!Create(owner_)) return;
  // Hidden on one monitor and shown on another, or laid out for a DPI that
  // is no longer its monitor's.
  const UINT monitorDpi = GetDpiForWindow(hwnd());
  if (monitorDpi != Dpi()) {
    RECT frame{};
    GetWindowRect(hwnd(), &frame);
    FitToDpi(monitorDpi, frame.left, frame.top);
  }
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
    case WM_COMMAND: {
      const ScopedFlag inCommand(inCommand_);
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    }
    case WM_ACTIVATE:
      KeepFocus(wParam);
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
      FitToDpi(HIWORD(wParam), suggested.left, suggested.top);
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
