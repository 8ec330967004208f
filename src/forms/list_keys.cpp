#include "forms/list_keys.h"

#include <commctrl.h>

namespace tav {

namespace {

enum Keys : UINT_PTR { kEnter = 1, kCtrlA = 2 };

void Notify(HWND list, WORD code) {
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), code),
               reinterpret_cast<LPARAM>(list));
}

LRESULT CALLBACK ListKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR keys,
                          DWORD_PTR /*data*/) {
  switch (message) {
    case WM_GETDLGCODE:
      // Without this the dialog keys would take Enter for the default button.
      if (keys == kEnter && lParam != 0) {
        const MSG& key = *reinterpret_cast<MSG*>(lParam);
        if (key.message == WM_KEYDOWN && key.wParam == VK_RETURN) {
          return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTMESSAGE;
        }
      }
      break;
    case WM_KEYDOWN:
      if (keys == kEnter && wParam == VK_RETURN) {
        Notify(list, LBN_DBLCLK);
        return 0;
      }
      if (keys == kCtrlA && wParam == 'A' && GetKeyState(VK_CONTROL) < 0) {
        SendMessageW(list, LB_SETSEL, TRUE, -1);
        Notify(list, LBN_SELCHANGE);
        return 0;
      }
      break;
    case WM_CHAR:
      // The character that Ctrl+A also makes would start a search by name.
      if (keys == kCtrlA && wParam == 1) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, ListKeys, keys);
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void EnterActsAsDoubleClick(HWND list) {
  SetWindowSubclass(list, ListKeys, kEnter, 0);
}

void CtrlASelectsAll(HWND list) {
  SetWindowSubclass(list, ListKeys, kCtrlA, 0);
}

}  // namespace tav
