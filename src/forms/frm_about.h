// The about dialog `frmAbout`: the program's title and version over its
// picture, and two links to its maker, mail and web page, that open through
// the shell.
#pragma once

#include "forms/modeless_dialog.h"
#include "platform/shell.h"

namespace tav {

class FrmAbout : public ModelessDialog {
 public:
  // Caption and client size (twips) as designed.
  static constexpr const wchar_t* kCaption = L"     version infomation";
  static constexpr int kClientWidth = 5040;
  static constexpr int kClientHeight = 4545;

  // The maker of the program and how to reach it.
  static constexpr const char* kCredit = "TAVI-1 project";
  static constexpr const char* kMailAddress = "tavi1@example.jp";
  static constexpr const char* kWebAddress = "https://www.example.jp/tavi1/";

  // The picture drawn from the client area's top-left corner, in pixels at 96 DPI.
  static constexpr int kPictureWidth = 339;
  static constexpr int kPictureHeight = 305;
  // Names of the picture and the links' mouse pointer among tav.exe's resources.
  static constexpr const wchar_t* kPictureResource = L"ABOUTPICTURE";
  static constexpr const wchar_t* kHandCursorResource = L"HANDCURSOR";

  enum Id : int {
    kCmdCancel = IDCANCEL,
    kLblTitle = 1101,
    kLabel2,
    kLblDescription,
    kLabel1,         // the mail link
    kLblDisclaimer,  // the web link
  };

  explicit FrmAbout(Shell& shell) : shell_(shell) {}
  ~FrmAbout() override;

  // --- Handlers, named after control and event ---
  void Label1_Click();         // the mail link
  void lblDisclaimer_Click();  // the web link
  void cmdCancel_Click();      // "cancel", Esc

  HWND Control(Id id) const { return ModelessDialog::Control(id); }
  // The pointer shown over the two links.
  HCURSOR LinkCursor() const { return hand_; }

 protected:
  Design GetDesign() const override;
  void Form_Load() override;
  void OnCommand(int id, int code, HWND control) override;
  void Layout(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void PaintBackground(HDC dc);
  bool IsLink(HWND control) const;
  static COLORREF TextColour(int id);
  void DrawLabel(const DRAWITEMSTRUCT& item);
  void DeleteFonts();

  Shell& shell_;
  HBITMAP picture_ = nullptr;
  HCURSOR hand_ = nullptr;
  HFONT font_ = nullptr;
  HFONT titleFont_ = nullptr;
  HFONT linkFont_ = nullptr;
};

}  // namespace tav
