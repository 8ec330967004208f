// Module `global`: the state that the whole program shares (the run's
// variables, the message-box pair, the settings) and the shared procedures
// that show the run's messages and keep the settings file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/log_report.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "global/output_form.h"
#include "global/ui.h"

namespace tav {

class Global {
 public:
  Global(Ui& windowUi, FileSystem& fileSystem, Shell* systemShell = nullptr)
      : ui(windowUi), files(fileSystem), shell(systemShell) {}
  Global(const Global&) = delete;
  Global& operator=(const Global&) = delete;

  Ui& ui;
  FileSystem& files;
  // Starting the editor and locating Windows and the program; the editor
  // procedures need it, the conversion does not (the command-line converter
  // has none).
  Shell* shell;

  // --- Run-time state shared by the run and the editor commands ---

  // Slot i holds the name of `File1` entry i once a run or the editor
  // command found it selected; all other slots are empty.
  std::vector<std::filesystem::path> SelectedNames;
  int CurFileIndex = 0;
  int LastFileIndex = -1;
  int FullAuto = 0;        // 1 = Full Auto: no confirmation but for the first file
  int FirstConfirmed = 0;  // 1 once a run has shown its first confirmation
  int Answer = 0;          // button code of the last message box
  std::string MsgText;     // text of the message box being built (UTF-8)
  std::filesystem::path LogPath;

  // How the last attempt to create an output folder failed, for ReportDiskError.
  DirResult DirError;

  // --- Settings (tav.ini) ---

  // Directory shown at start-up; code page 932 bytes, as in the file.
  std::string DefaultDir;
  // Leading characters of a log's file name that name its output folder.
  // Shared with the run, which sets it from the number box.
  std::int16_t DirNameLen = 0;
  // Command prefix of the external editor; code page 932 bytes.
  std::string EditorCommand;
  // What a run writes (tav.ini's line 4), and whether the file holds that
  // line: read from it or chosen since. Without it the file keeps its three
  // lines of old.
  OutputForm Output = OutputForm::Log;
  bool OutputLineKept = false;
  std::filesystem::path SettingsPath;
  std::filesystem::path WindowsDir;
  std::filesystem::path ProgramDir;
  std::string SettingsText;

  // --- The run's messages (run_messages.cpp) ---

  void ShowRunStatus();
  // The confirmation names what the run writes: the output folder of the
  // log in hand, or the web archive's folder.
  void ConfirmRun();
  void AskSkipLog();
  void ReportDiskError();

  // Boxes for the failures the run reports. Each offers OK (skip and go on,
  // `Answer` 1) and Cancel (stop the run, `Answer` 2) unless it says otherwise.
  void ReportLogUnreadable(const std::string& reason);
  void ReportFolderUnusable(const std::filesystem::path& folder, const std::string& reason);
  void ReportFolderNameUnsafe(const std::filesystem::path& folder);
  void ReportEmlUnwritable(const std::filesystem::path& file, const std::string& reason);
  // OK only: the run's writer could not finish (`reason`); for the web
  // archive nothing of the run was written.
  void ReportFinishFailed(const std::string& reason);
  // OK only: the web archive's folder cannot be used; nothing written.
  void ReportArchiveUnusable(const std::string& reason);
  // OK only, at most once at the end of a run in a standard form: what the
  // logs' notices (bytes replaced, title-list entries passed over, messages
  // replaced) told, by log.
  void ReportRunNotices(const std::vector<LogEvent>& notices);
  // OK only: lists the message numbers of the log that were not written.
  void ReportBadMessageNumbers(const std::vector<std::string>& numbers);
  // OK only: the number box does not give a folder-name length.
  void ReportBadFolderNameLen(const std::string& text);
  // OK only: `text` (a directory or a command) cannot be stored in tav.ini.
  void ReportNotStorable(const std::string& text);

  // --- Settings file (settings.cpp) ---

  void ReadSettings();
  // Returns false (after telling the user) when the file could not be written.
  bool WriteSettings();
  void ResetSettings();
  void StoreDefaultDir();
  // Takes `form` for the next runs and writes tav.ini with its fourth line.
  void ChooseOutputForm(OutputForm form);

  // `WindowsDir` and the default editor as code page 932 bytes.
  std::string WindowsDirText() const;
  std::string DefaultEditorCommand() const;
  // The values that the default markers of a reset file stand for.
  void ApplyResetValues();

  // --- The web archive of the folder shown (run_messages.cpp) ---

  // The archive form's folder: kArchiveFolderName in the folder `Label1` shows.
  std::filesystem::path ArchiveDir();
  // Opens the archive's start page with the system's browser, or says that
  // the folder shown has no archive yet.
  void OpenArchive();

  // --- The external editor (editor.cpp) ---

  // Starts the editor once for each selected entry of `File1`, in list order.
  void OpenSelectedInEditor();
  // Offers the first selected entry of `File1` as the editor and, on OK,
  // stores it in `EditorCommand` and tav.ini. True when the choice was taken.
  bool ChooseEditor();
  // Opens tav.ini in the editor.
  void OpenSettingsInEditor();
  // `EditorCommand` (as UTF-8) followed by a file's path, which is quoted
  // when it holds a blank.
  std::string EditorCommandLine(const std::filesystem::path& file) const;
  // Starts a command line; false (after telling the user) when it cannot start.
  bool StartCommandLine(const std::string& commandLine);

  // --- The options dialog's texts and its "set" command (options.cpp) ---

  // The paragraphs of the dialog's four bordered labels, each built in
  // `MsgText` (lines joined by CR LF, as the labels show them).
  void BuildFolderParagraph();      // folder creation (Label1)
  void BuildEditorParagraph();      // the editor (Label2)
  void BuildResetParagraph();       // resetting tav.ini (Label4)
  void BuildDefaultDirParagraph();  // the default working directory (Label6)
  // "★★" + the setting + "★★", as UTF-8 for the screen (Label3, Label5).
  std::string EditorStarLine() const;
  std::string DefaultDirStarLine() const;
  // Stores the number that the dialog's number box begins with in
  // `DirNameLen` (read as line 2 of tav.ini is read; 0 for text that does not
  // begin with a number) and writes tav.ini. A number outside the 16-bit
  // range is refused with a message and `DirNameLen` is kept. True when the
  // value was stored and written.
  bool StoreDirNameLen(const std::string& numberBoxText);
  // OK only: the options dialog's number box holds a number out of range.
  void ReportDirNameLenOutOfRange(const std::string& text);

  // Shows `MsgText` and stores the button code in `Answer`.
  void ShowMsgText(MsgKind kind, const std::string& title, Buttons buttons, Icon icon,
                   const std::filesystem::path& subject = {}, const std::string& reason = {},
                   const std::vector<std::string>& items = {});
  // OK and Cancel, exclamation icon: `headline`, the file, `detail` in
  // brackets and `question`, each on a line of its own.
  void ShowFileFailure(MsgKind kind, const std::string& title, const std::string& headline,
                       const std::filesystem::path& file, const std::string& detail,
                       const std::string& question, const std::string& reason);
};

}  // namespace tav
