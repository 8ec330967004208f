// The thin base of every window: it stores `this` when the window is
// created and hands each message to the object's HandleMessage, which no
// exception ever leaves.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The DPI the window is laid out for: its monitor's when it was made, then
  // each one that WM_DPICHANGED brings (the system's before it exists).
  UINT Dpi() const { return dpi_; }

 protected:
  // Registers the class on first use and creates the window.
  bool CreateWindowOfClass(const wchar_t* className, DWORD exStyle, const wchar_t* caption,
                           DWORD style, int x, int y, int width, int height, HWND owner,
                           HMENU menu);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called when the window is gone (WM_NCDESTROY); hwnd() is null again.
  virtual void OnDestroyed() {}
  // Tells the user of an exception that stopped a handler; the window and
  // the program go on.
  virtual void ReportException(const std::string& what);

  // Takes `dpi` as the window's DPI from now on.
  void SetDpi(UINT dpi) { dpi_ = dpi; }
  // Sizes the frame so that the client area is `width` x `height` twips at
  // the window's DPI, also when a menu bar wraps, with its top-left corner at
  // `x`, `y`.
  void FitFrame(int width, int height, int x, int y);
  // WM_ACTIVATE as a dialog box takes it: the focus leaves with the window
  // and comes back to the same control, at first to the first control of
  // the tab order.
  void KeepFocus(WPARAM activation);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessageSafely(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  UINT dpi_ = GetDpiForSystem();
  // The control that had the focus when the window was last deactivated.
  HWND focus_ = nullptr;
  // An exception is being reported: another one meanwhile is not.
  bool reporting_ = false;
};

// Sets a flag for the life of a scope and puts it back when the scope ends,
// also through an exception.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag), before_(flag) { flag = true; }
  ~ScopedFlag() { flag_ = before_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  bool before_;
};

// A child control of `parent`, with the given id, font and window text.
HWND CreateControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, int id);

// The whole text of a window or control.
std::wstring Text(HWND window);

}  // namespace tav
