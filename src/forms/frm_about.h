// The about dialog `frmAbout`: the window, hidden until `version` shows it.
#pragma once

#include "forms/modeless_dialog.h"

namespace tav {

class FrmAbout : public ModelessDialog {
 public:
  // Caption and client size (twips) as designed.
  static constexpr const wchar_t* kCaption = L"     version infomation";
  static constexpr int kClientWidth = 5040;
  static constexpr int kClientHeight = 4545;

 protected:
  Design GetDesign() const override;
};

}  // namespace tav
