#include "forms/window.h"

#include <exception>

#include "forms/twips.h"
#include "platform/win32_text.h"

namespace tav {

Window::~Window() {
  if (hwnd_ != nullptr) {
    // The object goes before its window: the window must not call back into it.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::CreateWindowOfClass(const wchar_t* className, DWORD exStyle, const wchar_t* caption,
                                 DWORD style, int x, int y, int width, int height, HWND owner,
                                 HMENU menu) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, className, &existing)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    windowClass.hIcon = LoadIconW(instance, L"APPICON");
    if (RegisterClassExW(&windowClass) == 0) return false;
  }
  if (CreateWindowExW(exStyle, className, caption, style, x, y, width, height, owner, menu,
                      instance, this) == nullptr) {
    return false;
  }
  dpi_ = GetDpiForWindow(hwnd_);
  return true;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::ReportException(const std::string& what) {
  const std::wstring text = L"処理を続けられないエラーが起きました。\r\n" + Widen(what);
  MessageBoxW(hwnd_, text.c_str(), L" Error!!", MB_OK | MB_ICONEXCLAMATION);
}

void Window::FitFrame(int width, int height, int x, int y) {
  const auto style = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE));
  const bool menu = GetMenu(hwnd_) != nullptr;
  RECT frame{0, 0, Px(width, dpi_), Px(height, dpi_)};
  AdjustWindowRectExForDpi(&frame, style, menu, exStyle, dpi_);
  const int frameWidth = frame.right - frame.left;
  const int frameHeight = frame.bottom - frame.top;
  SetWindowPos(hwnd_, nullptr, x, y, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes client height: the frame grows by as much.
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int missing = Px(height, dpi_) - client.bottom;
  if (missing > 0) {
    SetWindowPos(hwnd_, nullptr, 0, 0, frameWidth, frameHeight + missing,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

void Window::KeepFocus(WPARAM activation) {
  if (LOWORD(activation) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
    return;
  }
  if (HIWORD(activation) != 0) return;  // minimised
  if (focus_ == nullptr || !IsWindow(focus_) || !IsChild(hwnd_, focus_)) {
    focus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (focus_ != nullptr) SetFocus(focus_);
}

LRESULT Window::HandleMessageSafely(UINT message, WPARAM wParam, LPARAM lParam) {
  // An exception must not unwind through the system's code that called the
  // window procedure: it stops here, and the user hears of it.
  std::string what;
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
    what = "unknown exception";
  }
  if (!reporting_ && hwnd_ != nullptr) {
    reporting_ = true;
    try {
      ReportException(what);
    } catch (...) {
    }
    reporting_ = false;
  }
  return 0;
}

LRESULT CALLBACK Window::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    self->focus_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_DPICHANGED) self->dpi_ = HIWORD(wParam);
  const LRESULT result = self->HandleMessageSafely(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

HWND CreateControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, int id) {
  return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

std::wstring Text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace tav
