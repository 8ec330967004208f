#include "forms/frm_options.h"

namespace tav {

ModelessDialog::Design FrmOptions::GetDesign() const {
  // A fixed dialog frame with only the close button in its title bar.
  return {L"TavOptions",
          kCaption,
          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
          kClientWidth,
          kClientHeight};
}

}  // namespace tav
