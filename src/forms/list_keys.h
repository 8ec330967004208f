// Keys that the main window's list boxes take beyond the system's own.
#pragma once

#include <windows.h>

namespace tav {

// Enter in the list tells its parent LBN_DBLCLK, as a double-click does.
void EnterActsAsDoubleClick(HWND list);
// Ctrl+A in a list of several selections selects every entry.
void CtrlASelectsAll(HWND list);

}  // namespace tav
