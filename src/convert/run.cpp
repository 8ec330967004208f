// The conversion run: every selected log of the file list, in list order.
#include <new>
#include <system_error>

#include "convert/convert.h"
#include "global/number_text.h"
#include "platform/paths.h"

namespace tav {

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

void Convert::StopRun() {
  HeaderWidth = kRunStopped;
  g.ui.SetStatusText(1, "end");
}

void Convert::RunConversion() {
  Ui& ui = g.ui;
  const int count = ui.FileCount();
  g.SelectedNames.assign(static_cast<std::size_t>(count > 0 ? count : 0), {});
  g.FirstConfirmed = 0;
  g.LastFileIndex = count - 1;
  if (!TakeDirNameLen()) return;

  for (g.CurFileIndex = 0; g.CurFileIndex <= g.LastFileIndex; ++g.CurFileIndex) {
    if (!ui.FileSelected(g.CurFileIndex)) continue;
    g.SelectedNames[static_cast<std::size_t>(g.CurFileIndex)] = ui.FileEntry(g.CurFileIndex);

    // The first file is always confirmed; later ones unless in Full Auto mode.
    if (g.FirstConfirmed == 0) {
      g.ConfirmRun();
      g.FirstConfirmed = 1;
    } else if (g.FullAuto == 0) {
      g.ConfirmRun();
    }
    if (g.Answer != kOk) break;

    g.LogPath =
        JoinPath(ui.DirectoryCaption(), g.SelectedNames[static_cast<std::size_t>(g.CurFileIndex)]);
    g.ShowRunStatus();
    ui.KeepResponsive();
    try {
      LoadLog();
      if (HeaderWidth == kRunStopped) return;
      // A skipped log (HeaderWidth 0) has nothing to convert.
      if (HeaderWidth != 0) ConvertMessages();
    } catch (const std::bad_alloc&) {
      // A log too large for the memory is reported like a log that cannot
      // be read, instead of ending the program.
      LogText.Release();
      LogLines = decltype(LogLines)(2);
      HeaderFlags = decltype(HeaderFlags)(2);
      CurLine = EndLine();
      Body = std::string();
      HeaderWidth = 0;
      g.ReportLogUnreadable(std::make_error_code(std::errc::not_enough_memory).message());
      if (g.Answer != kOk) StopRun();
    }
    if (HeaderWidth == kRunStopped) return;
    ui.Beep();
  }

  ui.SetStatusText(1, "end");
  ui.SetStatusBold(true);
  ui.Beep();
  ui.Beep();
}

}  // namespace tav
