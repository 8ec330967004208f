// The output folder of a log: beside the log, named by the first
// DirNameLen characters of the log's file name.
#include "convert/convert.h"
#include "convert/folder_names.h"
#include "platform/paths.h"

namespace tav {

void Convert::MakeOutDir() {
  const std::filesystem::path name =
      LeadingChars(g.SelectedNames[static_cast<std::size_t>(g.CurFileIndex)],
                   static_cast<std::size_t>(g.DirNameLen));
  OutDir = JoinPath(g.ui.DirectoryCaption(), name);
  OutDirExisted = false;

  // OK at one of the boxes below skips this log; Cancel stops the run.
  auto skipOrStop = [this] {
    if (g.Answer == kOk) {
      HeaderWidth = 0;
    } else {
      StopRun();
    }
  };

  if (IsUnsafeFolderName(name)) {
    g.ReportFolderNameUnsafe(OutDir);
    skipOrStop();
    return;
  }

  g.DirError = g.files.MakeDirectory(OutDir);
  switch (g.DirError.status) {
    case DirStatus::Created:
      return;
    case DirStatus::ExistsAsFolder:
    case DirStatus::ExistsAsOther:
      g.ReportDiskError();
      // No at the existing-folder warning skips this log.
      if (g.FullAuto == 0 && g.Answer == kNo) {
        HeaderWidth = 0;
        return;
      }
      if (g.DirError.status == DirStatus::ExistsAsFolder) {
        OutDirExisted = true;
        return;
      }
      g.ReportFolderUnusable(OutDir, "同じ名前のファイルがあります (" + g.DirError.reason + ")");
      skipOrStop();
      return;
    case DirStatus::Failed:
      g.ReportFolderUnusable(OutDir, g.DirError.reason);
      skipOrStop();
      return;
  }
}

}  // namespace tav
