// The main window's conversion run: every selected log of the file list, in list order.
#include "global/conversion_run.h"

#include "convert/log_report.h"
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

bool ConversionRun::TakeDirNameLen() {
  const std::string text = g.ui.NumberBoxText();
  const double value = ReadLeadingNumber(text);
  if (!(value >= 1 && value <= 32767)) {
    g.ReportBadFolderNameLen(text);
    return false;
  }
  g.DirNameLen = static_cast<std::int16_t>(value);
  return true;
}

bool ConversionRun::ReportLog(const LogResult& result) {
  std::vector<std::string> numbersNotWritten;
  for (const LogEvent& event : DescribeLog(g.LogPath, result)) {
    switch (event.kind) {
      case LogEventKind::NotALog:
        g.AskSkipLog();
        return g.Answer == kOk;
      case LogEventKind::Unreadable:
        g.ReportLogUnreadable(event.reason);
        return g.Answer == kOk;
      case LogEventKind::FolderNameUnsafe:
        g.ReportFolderNameUnsafe(event.file);
        return g.Answer == kOk;
      case LogEventKind::FolderIsAFile:
        g.ReportFolderUnusable(event.file, "同じ名前のファイルがあります (" + event.reason + ")");
        return g.Answer == kOk;
      case LogEventKind::FolderUnusable:
        g.ReportFolderUnusable(event.file, event.reason);
        return g.Answer == kOk;
      case LogEventKind::WriteFailed:
        // OK skips the rest of this log, Cancel stops the run.
        g.ReportEmlUnwritable(event.file, event.reason);
        if (g.Answer != kOk) return false;
        break;
      case LogEventKind::NumberNotWritten:
        numbersNotWritten.push_back(Cp932ForDisplay(event.number));
        break;
      case LogEventKind::FolderReused:  // the warning came before the log was converted
        break;
      case LogEventKind::BytesReplaced:
      case LogEventKind::TitleEntriesPassedOver:
      case LogEventKind::MessageReplaced:
        // Told once, at the end of a run in a standard form; the log's own
        // form tells of no more than it always has.
        if (g.Output != OutputForm::Log) notices_.push_back(event);
        break;
    }
  }
  if (!numbersNotWritten.empty()) g.ReportBadMessageNumbers(numbersNotWritten);
  return true;
}

void ConversionRun::RunConversion() {
  Ui& ui = g.ui;
  const int count = ui.FileCount();
  g.SelectedNames.assign(static_cast<std::size_t>(count > 0 ? count : 0), {});
  g.FirstConfirmed = 0;
  g.LastFileIndex = count - 1;
  if (!TakeDirNameLen()) return;

  WindowHooks hooks(g);
  notices_.clear();
  // Made once the first log is confirmed; it remembers what the run wrote.
  RunWriter run;
  bool stoppedInLog = false;
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

    if (!run.writer) {
      run = makeWriter(g.Output, g.files, g.ArchiveDir());
      if (!run.opened.ok) {
        g.ReportArchiveUnusable(run.opened.reason);
        return;
      }
    }

    const std::filesystem::path directory = ui.DirectoryCaption();
    g.LogPath = JoinPath(directory, name);
    g.ShowRunStatus();
    ui.KeepResponsive();
    const LogResult& result =
        converter.ConvertLog({directory, name, g.DirNameLen}, *run.writer, hooks);
    if (!ReportLog(result) || (run.failed && run.failed())) {
      stoppedInLog = true;
      break;
    }
    ui.Beep();
  }

  // What the writer held back (a reply's parent read later, the archive's
  // pages) goes out also when the run was stopped: what was converted stays.
  // A writer that failed already was reported when it failed.
  if (run.writer) {
    const bool toldFailure = run.failed && run.failed();
    if (const IoResult finished = run.writer->Finish(); !finished.ok && !toldFailure) {
      g.ReportFinishFailed(finished.reason);
    }
  }
  g.ReportRunNotices(notices_);
  if (stoppedInLog) {
    // Stopped from inside a log: "end", without the end beeps.
    ui.SetStatusText(1, "end");
    return;
  }
  ui.SetStatusText(1, "end");
  ui.SetStatusBold(true);
  ui.Beep();
  ui.Beep();
}

}  // namespace tav
