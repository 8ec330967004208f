// Message boxes through MessageBoxW; beeps of the system's default sound,
// each heard to its end.
#pragma once

#include "forms/message_boxes.h"
#include "forms/spaced_beeps.h"

namespace tav {

class Win32MessageBoxes : public MessageBoxes {
 public:
  Win32MessageBoxes();

  int Show(const MsgBox& box, HWND owner) override;
  void Beep() override;

 private:
  SpacedBeeps beeps_;
};

}  // namespace tav
