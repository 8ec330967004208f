// What the program's windows share in their look: the one font of their
// texts, controls placed by their designed twips, and the items of the
// number boxes.
#pragma once

#include <windows.h>

#include "forms/twips.h"

namespace tav {

// The windows' font, "ＭＳ Ｐゴシック" 9 point in Shift-JIS, at `dpi`. A system
// without this face gets the closest proportional Shift-JIS font there is.
HFONT CreateFormFont(UINT dpi, int weight = FW_NORMAL, bool underline = false);

// Moves a control to its designed place at `dpi`.
void Place(HWND control, const TwipsRect& rect, UINT dpi);
// The same for a combo box, whose height also holds its drop-down list of
// nine entries.
void PlaceComboBox(HWND combo, const TwipsRect& rect, UINT dpi);

// Adds the items "1" to "9" to a number box.
void AddNumberItems(HWND combo);

}  // namespace tav
