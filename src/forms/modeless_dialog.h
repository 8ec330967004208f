// A dialog window of the program that lives hidden and is shown modeless:
// its cancel command (the cancel button, Esc) hides it, the title bar's
// close button destroys it, and the next showing creates it afresh.
#pragma once

#include <string>

#include "forms/twips.h"
#include "forms/window.h"

namespace tav {

class ModelessDialog : public Window {
 public:
  // Creates the window hidden, with its controls, unless it exists already.
  bool Create(HWND owner);
  // Makes the dialog visible and brings it to the front, creating it first
  // when it was destroyed. It is laid out for the DPI of the monitor it
  // opens on.
  void Show();
  void Hide();
  bool IsVisible() const;
  // Tab, Esc and the other dialog keys for a message meant for this dialog.
  bool TranslateDialogMessage(MSG& message);
  // True while one of its commands runs: a message box shown meanwhile
  // belongs to this dialog.
  bool InCommand() const { return inCommand_; }

 protected:
  struct Design {
    const wchar_t* className;
    std::wstring caption;
    DWORD style;
    DWORD exStyle;
    int clientWidth;   // twips
    int clientHeight;  // twips
  };
  virtual Design GetDesign() const = 0;
  // Builds the controls and runs the dialog's load step (Form_Load); the
  // window exists and is still hidden.
  virtual void Form_Load() {}
  // A command of a control; IDCANCEL (the cancel button and Esc) hides the dialog.
  virtual void OnCommand(int id, int code, HWND control);
  // Places the controls and makes the fonts for a DPI; called by Form_Load
  // and again whenever the dialog's DPI changes.
  virtual void Layout(UINT /*dpi*/) {}

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  // Sets the text of a label with a transparent background. What the label
  // showed before is painted over by the dialog's background first: the
  // label itself paints only its text.
  void SetLabelText(int id, const std::wstring& text);

 private:
  // Lays the dialog out for `dpi`, its top-left corner at `x`, `y`.
  void FitToDpi(UINT dpi, int x, int y);

  HWND owner_ = nullptr;
  bool inCommand_ = false;
};

}  // namespace tav
