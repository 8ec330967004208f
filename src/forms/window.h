// The thin base of every window: it stores `this` when the window is
// created and hands each message to the object's HandleMessage.
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
  // The window's DPI (the system's before the window exists).
  UINT Dpi() const;

 protected:
  // Registers the class on first use and creates the window.
  bool CreateWindowOfClass(const wchar_t* className, DWORD exStyle, const wchar_t* caption,
                           DWORD style, int x, int y, int width, int height, HWND owner,
                           HMENU menu);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called when the window is gone (WM_NCDESTROY); hwnd() is null again.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

// A child control of `parent`, with the given id, font and window text.
HWND CreateControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, int id);

// The whole text of a window or control.
std::wstring Text(HWND window);

}  // namespace tav
