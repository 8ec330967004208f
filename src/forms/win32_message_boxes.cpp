#include "forms/win32_message_boxes.h"

#include <mmsystem.h>

#include <algorithm>
#include <string_view>

#include "platform/win32_text.h"

namespace tav {

namespace {

// The pause between two beeps, and how long a beep is taken to last where
// the system cannot play sounds and only beeps.
constexpr std::chrono::milliseconds kPause{150};
constexpr DWORD kPlainBeepLength = 300;

constexpr wchar_t kPlaced[] = L"TavBoxPlaced";

// A box as it first becomes active is moved to the middle of its owner,
// within the owner's screen; the system would place it by the screen or by
// a corner of the owner. A mark on the box keeps a later activation from
// moving it again.
LRESULT CALLBACK CentreBoxOverOwner(int code, WPARAM wParam, LPARAM lParam) {
  HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_DESTROYWND) RemovePropW(box, kPlaced);
  wchar_t className[16] = {};
  if (code == HCBT_ACTIVATE && GetClassNameW(box, className, 16) &&
      std::wstring_view(className) == L"#32770" && GetPropW(box, kPlaced) == nullptr) {
    SetPropW(box, kPlaced, box);
    HWND owner = GetWindow(box, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT boxRect{};
    RECT ownerRect{};
    if (owner != nullptr && IsWindowVisible(owner) && GetWindowRect(box, &boxRect) &&
        GetWindowRect(owner, &ownerRect) &&
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT& work = monitor.rcWork;
      const LONG width = boxRect.right - boxRect.left;
      const LONG height = boxRect.bottom - boxRect.top;
      const LONG x = std::clamp((ownerRect.left + ownerRect.right - width) / 2, work.left,
                                std::max(work.left, work.right - width));
      const LONG y = std::clamp((ownerRect.top + ownerRect.bottom - height) / 2, work.top,
                                std::max(work.top, work.bottom - height));
      SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

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
  HHOOK placing = SetWindowsHookExW(WH_CBT, CentreBoxOverOwner, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
  if (placing != nullptr) UnhookWindowsHookEx(placing);
  return answer;
}

void Win32MessageBoxes::Beep() {
  beeps_.Beep();
}

}  // namespace tav
