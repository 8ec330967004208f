// The message boxes and the beep of the windows, apart from the windows
// themselves, so that a test can answer the boxes of a real main window.
#pragma once

#include <windows.h>

#include "global/ui.h"

namespace tav {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Shows the box modally over `owner`, the window it belongs to, and
  // returns the button code. The owner takes no input meanwhile and is
  // active again when the box closes.
  virtual int Show(const MsgBox& box, HWND owner) = 0;
  // The system's default sound; returns at once.
  virtual void Beep() = 0;
};

}  // namespace tav
