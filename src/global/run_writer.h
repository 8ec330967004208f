// The writer of one run of the main window, in the form the user chose.
// MakeRunWriter is the one place where a form becomes a writer.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "convert/mail_writer.h"
#include "global/output_form.h"
#include "platform/file_system.h"

namespace tav {

struct RunWriter {
  std::unique_ptr<MailWriter> writer;
  // A writer that could not start at its destination: the reason; nothing
  // was written.
  IoResult opened;
  // For a writer of one destination (the web archive): true once a write
  // failed and it takes no more, so the run converts no further log.
  std::function<bool()> failed;
};

// The run's writer for `form`, started: the folders beside each log, or the
// web archive in `archiveDir`. Made once the first log is confirmed, so that
// a run the user cancels leaves no trace.
RunWriter MakeRunWriter(OutputForm form, FileSystem& files,
                        const std::filesystem::path& archiveDir);

}  // namespace tav
