// Message boxes through MessageBoxW.
#pragma once

#include "forms/message_boxes.h"

namespace tav {

class Win32MessageBoxes : public MessageBoxes {
 public:
  int Show(const MsgBox& box, bool duringRun) override;
  void Beep() override;
};

}  // namespace tav
