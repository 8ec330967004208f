#include "cli_ui.h"

#include "platform/paths.h"

namespace tav {

void CliUi::SetLog(const std::filesystem::path& log) {
  directory_ = log.parent_path();
  name_ = log.filename();
}

void CliUi::Report(const std::filesystem::path& subject, const std::string& what) {
  errors_ << "tavconv: " << Utf8FromPath(subject) << ": " << what << '\n';
}

int CliUi::ShowMsgBox(const MsgBox& box) {
  switch (box.kind) {
    case MsgKind::ConfirmRun:
      return kOk;
    case MsgKind::ExistingFolder:
      return kYes;
    case MsgKind::SkipLog:
      Report(box.subject, "no message header lines; skipped");
      return kOk;
    case MsgKind::LogUnreadable:
      failed_ = true;
      Report(box.subject, "cannot read: " + box.reason);
      return kOk;
    case MsgKind::FolderUnusable:
      failed_ = true;
      Report(box.subject, "cannot create the output folder: " + box.reason + "; log skipped");
      return kOk;
    case MsgKind::FolderNameUnsafe:
      failed_ = true;
      Report(box.subject,
             "unusable output folder name (\".\", \"..\", a final dot or blank, or a device "
             "name); log skipped");
      return kOk;
    case MsgKind::EmlUnwritable:
      failed_ = true;
      Report(box.subject, "cannot write: " + box.reason + "; rest of the log skipped");
      return kOk;
    case MsgKind::BadMessageNumbers:
      failed_ = true;
      for (const std::string& number : box.items) {
        Report(box.subject, "message number \"" + number +
                                "\" cannot stand as a file name; message not written");
      }
      return kOk;
    default:
      failed_ = true;
      Report(box.subject, box.text);
      return kOk;
  }
}

}  // namespace tav
