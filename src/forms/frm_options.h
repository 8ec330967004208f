// The options dialog `frmOptions`: the three settings of tav.ini explained in
// four boxed paragraphs, the current editor and default directory between
// stars, the folder-name length to store, and the reset.
#pragma once

#include "forms/modeless_dialog.h"
#include "global/global.h"

namespace tav {

class FrmOptions : public ModelessDialog {
 public:
  // Caption and client size (twips) as designed.
  static constexpr const wchar_t* kCaption = L"     options";
  static constexpr int kClientWidth = 5745;
  static constexpr int kClientHeight = 5955;

  // Control ids. No control is IDOK: Enter, which a dialog turns into IDOK,
  // presses nothing. cmdCancel is IDCANCEL, so Esc presses it.
  enum Id : int {
    kCmdOK = 1001,
    kCmdCancel = IDCANCEL,
    kCombo1 = 1002,
    kCommand1,
    kCommand2,
    kLabel1,
    kLabel2,
    kLabel3,
    kLabel4,
    kLabel5,
    kLabel6,
  };

  explicit FrmOptions(Global& global) : g_(global) {}
  ~FrmOptions() override;

  // --- Handlers, named after control and event ---
  void cmdOK_Click();      // "set"
  void cmdCancel_Click();  // "cancel", Esc
  void Command1_Click();   // ".ini-file Reset"
  void Command2_Click();   // "Def_Dir"

  // Shows the current editor in Label3 when the dialog exists, shown or
  // hidden (the main window's editor choice calls it). A destroyed dialog
  // shows the editor of the moment when it is made again.
  void ShowEditorLine();
  void ShowDefaultDirLine();

  HWND Control(Id id) const { return ModelessDialog::Control(id); }

 protected:
  Design GetDesign() const override;
  void Form_Load() override;
  void OnCommand(int id, int code, HWND control) override;
  void Layout(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  bool IsLabel(HWND control) const;

  Global& g_;
  HFONT font_ = nullptr;
};

}  // namespace tav
