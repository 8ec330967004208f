// The message boxes and the beep of the windows, apart from the windows
// themselves, so that a test can answer the boxes of a real main window.
#pragma once

#include "platform/ui.h"

namespace tav {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Shows the box modally and returns the button code. During a run the box
  // holds every window of the program, the open dialogs included.
  virtual int Show(const MsgBox& box, bool duringRun) = 0;
  // The system's default sound; returns at once.
  virtual void Beep() = 0;
};

}  // namespace tav
