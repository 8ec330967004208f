#include "forms/frm_about.h"

namespace tav {

ModelessDialog::Design FrmAbout::GetDesign() const {
  // A sizable frame with minimise, maximise and close buttons.
  return {L"TavAbout",         kCaption,     WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
          WS_EX_CONTROLPARENT, kClientWidth, kClientHeight};
}

}  // namespace tav
