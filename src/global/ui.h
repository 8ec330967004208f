// The main window as the window program's procedures see it: message boxes,
// the beep, the status bar and the controls that a run reads. Implemented by
// the Win32 main window and by the scripted fake of the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tav {

// Button codes of a message box, as the program stores them in `Answer`.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Exclamation };

// What a message box is about, so that a test (or an accessibility tool)
// can tell the boxes apart without reading their Japanese texts.
enum class MsgKind {
  ConfirmRun,          // " start?" before a file
  SkipLog,             // " log?": no header line found
  ExistingFolder,      // " DiskError!!": the output folder exists
  LogUnreadable,       // a log that cannot be opened or read
  FolderUnusable,      // an output folder that cannot be made or is a file
  FolderNameUnsafe,    // an output folder name that would leave the log's folder
  EmlUnwritable,       // an .eml file that cannot be written
  BadMessageNumbers,   // message numbers that cannot stand as file names
  BadFolderNameLen,    // a number box does not hold a folder-name length it can take
  SettingsUnwritable,  // tav.ini cannot be written
  NotStorable,         // a path that code page 932 cannot hold
  EditorChoice,        // " Editor?"
  StartFailed,         // a command line that cannot be started
  RunNotices,          // the notices of a run in a standard form, once at its end
  ArchiveUnusable,     // the web archive's folder cannot be used or written
  NoArchive,           // the folder shown has no web archive to open
  Other,
};

// One message box: the text (UTF-8, lines joined by CR LF), the title, the
// buttons (the first is the default) and the icon. `subject` and `reason`
// repeat the file the box names and the system's reason, and `items` the
// entries it lists, for front ends that report in their own words.
struct MsgBox {
  MsgKind kind = MsgKind::Other;
  std::string text;
  std::string title;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  std::filesystem::path subject;
  std::string reason;
  std::vector<std::string> items;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows the box modally and returns the button code (kOk, kCancel, kYes, kNo).
  virtual int ShowMsgBox(const MsgBox& box) = 0;
  // The system's default sound; returns at once.
  virtual void Beep() = 0;
  // Status bar panel 1 or 2.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  // Bold or regular text in all panels.
  virtual void SetStatusBold(bool bold) = 0;

  // The file list `File1`: bare file names in the list's order.
  virtual int FileCount() = 0;
  virtual std::filesystem::path FileEntry(int index) = 0;
  virtual bool FileSelected(int index) = 0;

  // The caption of `Label1`: the directory the main window shows.
  virtual std::filesystem::path DirectoryCaption() = 0;
  // The text of the number box `Combo1` (UTF-8).
  virtual std::string NumberBoxText() = 0;
  // Points the directory list `Dir1` (and so `File1` and `Label1`) at a path.
  virtual void SetDirectoryListPath(const std::filesystem::path& path) = 0;
  // The form the next run writes (Global::Output) changed: the window shows it.
  virtual void ShowOutputForm() {}

  // Called between logs and often while a log is converted (at least every
  // few hundred messages): a window repaints here and takes the input it
  // allows during a run.
  virtual void KeepResponsive() {}
};

}  // namespace tav
