#include "forms/win32_message_boxes.h"

#include <mmsystem.h>

#include "platform/win32_text.h"

namespace tav {

namespace {

// The pause between two beeps, and how long a beep is taken to last where
// the system cannot play sounds and only beeps.
constexpr std::chrono::milliseconds kPause{150};
constexpr DWORD kPlainBeepLength = 300;

// The sound the user chose as the default beep, played to its end.
void PlayDefaultBeep() {
  if (!PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMDEFAULT), nullptr,
                  SND_ALIAS_ID | SND_SYNC | SND_NODEFAULT)) {
    MessageBeep(MB_OK);
    Sleep(kPlainBeepLength);
  }
}

}  // namespace

Win32MessageBoxes::Win32MessageBoxes() : beeps_(PlayDefaultBeep, kPause) {}

int Win32MessageBoxes::Show(const MsgBox& box, HWND owner) {
  UINT flags = MB_DEFBUTTON1 | MB_APPLMODAL | MB_SETFOREGROUND;
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
  const std::wstring text = Widen(box.text);
  const std::wstring title = Widen(box.title);
  return MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

void Win32MessageBoxes::Beep() {
  beeps_.Beep();
}

}  // namespace tav
