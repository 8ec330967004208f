#include "forms/win32_message_boxes.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace tav {

int Win32MessageBoxes::Show(const MsgBox& box, bool duringRun) {
  UINT flags = MB_DEFBUTTON1 | MB_SETFOREGROUND;
  switch (box.buttons) {
    case Buttons::Ok:
      flags |= MB_OK;
      break;
    case Buttons::OkCancel:
      flags |= MB_OKCANCEL;
      break;
    case Buttons::YesNo:
      flags |= MB_YESNO;
      break;
  }
  if (box.icon == Icon::Exclamation) flags |= MB_ICONEXCLAMATION;
  // Task-modal without an owner disables every window of the thread: a run
  // holds the main window and the open dialogs alike. Otherwise the box
  // belongs to the window the user is working in.
  HWND owner = nullptr;
  if (duringRun) {
    flags |= MB_TASKMODAL;
  } else {
    owner = GetActiveWindow();
  }
  const std::wstring text = Widen(box.text);
  const std::wstring title = Widen(box.title);
  return MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

void Win32MessageBoxes::Beep() {
  MessageBeep(MB_OK);
}

}  // namespace tav
