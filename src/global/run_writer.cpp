#include "global/run_writer.h"

#include "archive/html_archive_writer.h"
#include "convert/eml_writer.h"

namespace tav {

RunWriter MakeRunWriter(OutputForm form, FileSystem& files,
                        const std::filesystem::path& archiveDir) {
  RunWriter run;
  switch (form) {
    case OutputForm::Log:
      // The .eml files its users' mail folders were made with.
      run.writer = std::make_unique<EmlFolderWriter>(files, MailForm::Raw);
      break;
    case OutputForm::Mime:
      run.writer = std::make_unique<EmlFolderWriter>(files, MailForm::Mime);
      break;
    case OutputForm::Archive: {
      auto archive = std::make_unique<HtmlArchiveWriter>(files);
      run.opened = archive->Open(archiveDir);
      run.failed = [writer = archive.get()] { return writer->failed(); };
      run.writer = std::move(archive);
      break;
    }
  }
  return run;
}

}  // namespace tav
