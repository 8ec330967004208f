// The conversion run: every selected log of the file list, in list order.
#include "convert/convert.h"
#include "global/number_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

// The window's answers while a log is converted.
class WindowHooks : public LogHooks {
 public:
  explicit WindowHooks(Global& global) : g(global) {}

  // The existing-folder warning, in semi-automatic mode only: No skips the log.
  bool UseExistingFolder(const FolderOutcome& folder) override {
    g.DirError = {folder.status == FolderStatus::Existed ? DirStatus::ExistsAsFolder
                                                         : DirStatus::ExistsAsOther,
                  folder.reason};
    g.ReportDiskError();
    return !(g.FullAuto == 0 && g.Answer == kNo);
  }
  void KeepResponsive() override { g.ui.KeepResponsive(); }

 private:
  Global& g;
};

}  // namespace

bool Convert::TakeDirNameLen() {
  const std::string text = g.ui.NumberBoxText();
  const double value = ReadLeadingNumber(text);
  if (!(value >= 1 && value <= 32767)) {
    g.ReportBadFolderNameLen(text);
    return false;
  }
  g.DirNameLen = static_cast<std::int16_t>(value);
  return true;
}

bool Convert::ReportLog(const LogResult& result) {
  switch (result.outcome) {
    case LogOutcome::Converted:
    case LogOutcome::Declined:
      break;
    case LogOutcome::NotALog:
      g.AskSkipLog();
      return g.Answer == kOk;
    case LogOutcome::Unreadable:
      g.ReportLogUnreadable(result.reason);
      return g.Answer == kOk;
    case LogOutcome::FolderNameUnsafe:
      g.ReportFolderNameUnsafe(result.failedFile);
      return g.Answer == kOk;
    case LogOutcome::FolderUnusable:
      g.ReportFolderUnusable(result.failedFile,
                             result.folder.status == FolderStatus::FileInTheWay
                                 ? "同じ名前のファイルがあります (" + result.reason + ")"
                                 : result.reason);
      return g.Answer == kOk;
    case LogOutcome::WriteFailed:
      // OK skips the rest of this log, Cancel stops the run.
      g.ReportEmlUnwritable(result.failedFile, result.reason);
      if (g.Answer != kOk) return false;
      break;
  }
  if (!result.badNumbers.empty()) {
    std::vector<std::string> shown;
    for (const std::string& number : result.badNumbers) shown.push_back(Cp932ForDisplay(number));
    g.ReportBadMessageNumbers(shown);
  }
  return true;
}

void Convert::RunConversion() {
  Ui& ui = g.ui;
  const int count = ui.FileCount();
  g.SelectedNames.assign(static_cast<std::size_t>(count > 0 ? count : 0), {});
  g.FirstConfirmed = 0;
  g.LastFileIndex = count - 1;
  if (!TakeDirNameLen()) return;

  WindowHooks hooks(g);
  for (g.CurFileIndex = 0; g.CurFileIndex <= g.LastFileIndex; ++g.CurFileIndex) {
    if (!ui.FileSelected(g.CurFileIndex)) continue;
    const std::filesystem::path& name =
        g.SelectedNames[static_cast<std::size_t>(g.CurFileIndex)] = ui.FileEntry(g.CurFileIndex);

    // The first file is always confirmed; later ones unless in Full Auto mode.
    if (g.FirstConfirmed == 0) {
      g.ConfirmRun();
      g.FirstConfirmed = 1;
    } else if (g.FullAuto == 0) {
      g.ConfirmRun();
    }
    if (g.Answer != kOk) break;

    const std::filesystem::path directory = ui.DirectoryCaption();
    g.LogPath = JoinPath(directory, name);
    g.ShowRunStatus();
    ui.KeepResponsive();
    const LogResult& result = converter.ConvertLog({directory, name, g.DirNameLen}, writer, hooks);
    if (!ReportLog(result)) {
      // Stopped from inside a log: "end", without the end beeps.
      ui.SetStatusText(1, "end");
      return;
    }
    ui.Beep();
  }

  ui.SetStatusText(1, "end");
  ui.SetStatusBold(true);
  ui.Beep();
  ui.Beep();
}

}  // namespace tav
