#include "forms/design.h"

#include <initializer_list>

namespace tav {

namespace {

constexpr wchar_t kFontName[] = L"ＭＳ Ｐゴシック";
constexpr int kFontPoints = 9;
// A drop-down list shows nine entries of 240 twips each.
constexpr int kDropDownEntries = 9;
constexpr int kEntryHeight = 240;

}  // namespace

HFONT CreateFormFont(UINT dpi, int weight, bool underline) {
  return CreateFontW(FontHeight(kFontPoints, dpi), 0, 0, 0, weight, FALSE, underline, FALSE,
                     SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     VARIABLE_PITCH | FF_SWISS, kFontName);
}

void Place(HWND control, const TwipsRect& rect, UINT dpi) {
  SetWindowPos(control, nullptr, Px(rect.left, dpi), Px(rect.top, dpi), Px(rect.width, dpi),
               Px(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceComboBox(HWND combo, const TwipsRect& rect, UINT dpi) {
  TwipsRect withList = rect;
  withList.height += kEntryHeight * kDropDownEntries;
  Place(combo, withList, dpi);
}

void AddNumberItems(HWND combo) {
  for (const wchar_t* item : {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
}

}  // namespace tav
