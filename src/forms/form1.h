// The main window `Form1`: the browsing controls that choose the logs, the
// number box, the Full Auto switch, the toolbar, the menus and the status
// bar. It is the window that the program's logic talks to (Ui), and it
// owns the program's state and the two dialogs.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <string>
#include <vector>

#include "forms/dir_list.h"
#include "forms/drive_list.h"
#include "forms/frm_about.h"
#include "forms/frm_options.h"
#include "forms/message_boxes.h"
#include "forms/window.h"
#include "platform/shell.h"
#include "global/ui.h"
#include "global/program.h"

namespace tav {

class Form1 : public Window, public Ui {
 public:
  static constexpr const wchar_t* kCaption = L"   TAVI-1 (Vandrosk)";
  static constexpr int kClientWidth = 4470;   // twips
  static constexpr int kClientHeight = 5055;  // twips

  // The toolbar from left to right; separators have no key.
  static constexpr int kToolbarButtons = 13;
  struct ToolbarButton {
    const char* key;  // nullptr for a separator
    const wchar_t* tooltip;
  };
  static const std::array<ToolbarButton, kToolbarButtons> kToolbar;
  // The toolbar's images, in the order they are loaded from "<key>.ico".
  static const std::array<const char*, 6> kImageKeys;

  // The output forms: their menu commands, the menu's and the status bar's
  // texts, and the command that opens the web archive.
  static int FormCommand(OutputForm form);
  static const wchar_t* FormMenuText(OutputForm form);
  static const wchar_t* FormPanelText(OutputForm form);
  static constexpr const wchar_t* kOpenArchiveText = L"Ｗｅｂアーカイブを開く";
  // The status bar's third panel (from 0), which shows the output form and
  // takes the rest of the bar.
  static constexpr int kFormPanel = 2;

  // Menu commands, toolbar commands and control ids.
  enum Id : int {
    kMenuEdit = 100,
    kMenuRun,
    kMenuEnd,
    kMenuOption,
    kMenuHelpHtml,
    kMenuIniFile,
    kMenuVersion,
    kMenuFormLog,  // the output forms, radio items of `file` after `end`
    kMenuFormMime,
    kMenuFormArchive,
    kMenuOpenArchive,
    kToolbar1 = 200,
    kDrive1,
    kDir1,
    kFile1,
    kLabel1,
    kLabel2,
    kCombo1,
    kCheck1,
    kStatusBar1,
    kToolbarCommandBase = 300,  // + the button's position from 0
  };

  Form1(Shell& shell, FileSystem& files, MessageBoxes& boxes);
  ~Form1() override;

  // Creates the window and its controls, runs Form_Load, selects
  // `startFiles` (the paths tav.exe was started with) and shows the window.
  // False when the window cannot be created.
  bool Create(int showCommand, const std::vector<std::filesystem::path>& startFiles = {});
  // The dialog keys (Tab, Esc, ...) for the window or dialog a message is
  // for, and F5 for the main window.
  bool TranslateDialogMessage(MSG& message);

  Program& program() { return program_; }
  FrmOptions& frmOptions() { return frmOptions_; }
  FrmAbout& frmAbout() { return frmAbout_; }

  // --- Handlers, named after control and event ---
  void Form_Load();
  void Drive1_Change();
  void Dir1_Change();
  void Check1_Click();
  void run_Click();
  void end_Click();
  void edit_Click();
  void File1_DblClick();
  void Toolbar1_ButtonClick(const std::string& key);
  void helphtml_Click();
  void ini_file_Click();
  void version_Click();
  void option_Click();
  // `file` > the output forms, and the status bar's form panel.
  void outputForm_Click(OutputForm form);
  // `file` > open the web archive of the folder shown.
  void openArchive_Click();
  // Files dropped on the window or given on the command line: the lists
  // move to the folder of the first (as browsing there does) and File1
  // selects those of them that it lists; a folder is opened. Nothing
  // happens during a run.
  void SelectDroppedFiles(const std::vector<std::filesystem::path>& paths);
  // F5: the drives, folders and files as they are now. The selected files
  // that are still there stay selected; a folder that is gone gives way to
  // the nearest one above it.
  void RefreshLists();

  // --- Ui ---
  int ShowMsgBox(const MsgBox& box) override;
  void Beep() override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetStatusBold(bool bold) override;
  int FileCount() override;
  std::filesystem::path FileEntry(int index) override;
  bool FileSelected(int index) override;
  std::filesystem::path DirectoryCaption() override;
  std::string NumberBoxText() override;
  void SetDirectoryListPath(const std::filesystem::path& path) override;
  // The form of the next run: the radio item of `file` and the status bar's
  // third panel.
  void ShowOutputForm() override;
  // Repaints the windows and drops the user's input to them: nothing clicked
  // or typed during a run starts after it.
  void KeepResponsive() override;

  // --- The controls, for the tests ---
  HWND Control(Id id) const { return GetDlgItem(hwnd(), id); }
  DirList& dir1() { return dir1_; }
  bool StatusBold() const { return statusBold_; }
  bool RunActive() const { return runActive_; }
  HWND Tooltips() const { return tooltips_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportException(const std::string& what) override;

 private:
  void CreateControls();
  void CreateMenuBar();
  void CreateTooltips();
  void BuildToolbar();  // Form_Load steps 3 to 5
  // The toolbar's images at `dpi`, loaded afresh from the icon files.
  void LoadToolbarImages(UINT dpi);
  void Layout(UINT dpi);
  // Makes the fonts for `dpi` and gives them to the controls and tooltips.
  void SetFonts(UINT dpi);
  void Centre();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // The window that a message box shown now belongs to.
  HWND BoxOwner() const;

  // Points Dir1 at a folder; runs Dir1_Change when its path changes. False
  // (after telling the user) when the folder cannot be read.
  bool SetDir1Path(const std::filesystem::path& folder);
  // Lists the folder's files in File1 and selects those named in `keep`.
  void FillFile1(const std::filesystem::path& folder, const std::vector<std::wstring>& keep = {});
  void ReportUnreadableFolder(const std::filesystem::path& folder, const std::string& reason);
  // Ends the program at once: the dialogs and the window go, nothing is saved.
  void EndProgram();

  void OnCommand(int id, int code);
  void OnDropFiles(HDROP drop);
  // The output forms and the archive command, as a menu at the pointer.
  void ShowFormMenu();
  LRESULT OnNotify(NMHDR& header);
  LRESULT OnControlColor(HDC dc, HWND control, UINT message);

  Shell& shell_;
  FileSystem& files_;
  MessageBoxes& boxes_;
  Program program_;
  FrmOptions frmOptions_;
  FrmAbout frmAbout_;

  DriveList drive1_;
  DirList dir1_;
  HWND tooltips_ = nullptr;
  HIMAGELIST imageList1_ = nullptr;
  // The image of each of kImageKeys in imageList1_, or I_IMAGENONE.
  std::array<int, 6> imageOf_{};
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HBRUSH listBrush_ = nullptr;
  bool statusBold_ = false;
  bool runActive_ = false;
};

}  // namespace tav
