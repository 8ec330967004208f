// The options dialog `frmOptions`: the window, hidden until `option` shows it.
#pragma once

#include "forms/modeless_dialog.h"

namespace tav {

class FrmOptions : public ModelessDialog {
 public:
  // Caption and client size (twips) as designed.
  static constexpr const wchar_t* kCaption = L"     options";
  static constexpr int kClientWidth = 5745;
  static constexpr int kClientHeight = 5955;

 protected:
  Design GetDesign() const override;
};

}  // namespace tav
