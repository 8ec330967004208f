// Sizes of the windows as designed, in twips (1/1440 inch), and their
// pixels at a given DPI.
#pragma once

#include <windows.h>

namespace tav {

inline int Px(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// Font height for CreateFontW of a size in points.
inline int FontHeight(int points, UINT dpi) {
  return -MulDiv(points, static_cast<int>(dpi), 72);
}

}  // namespace tav
