#include "answering_ui.h"

namespace tav::fuzz {

int AnsweringUi::ShowMsgBox(const MsgBox& box) {
  const std::size_t index = boxes.size();
  boxes.push_back(box);
  const bool turnBack =
      static_cast<int>(index) < scriptedAnswers && index < 32 && ((answers >> index) & 1) != 0;
  switch (box.buttons) {
    case Buttons::Ok:
      return kOk;
    case Buttons::OkCancel:
      return turnBack ? kCancel : kOk;
    case Buttons::YesNo:
      return turnBack ? kNo : kYes;
  }
  return kOk;
}

}  // namespace tav::fuzz
