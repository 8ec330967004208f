// The output folder of a log, beside it and named by the first characters
// of its file name, and one .eml file per message in it.
#include "convert/eml_writer.h"

#include "convert/eml_names.h"
#include "convert/folder_names.h"
#include "mail/mail_domain.h"
#include "platform/paths.h"

namespace tav {

FolderOutcome EmlFolderWriter::BeginLog(const LogTarget& target) {
  OutDir = JoinPath(target.directory, target.folderName);
  if (IsUnsafeFolderName(target.folderName)) return {FolderStatus::Unsafe, OutDir, {}};
  DirResult made = files_.MakeDirectory(OutDir);
  switch (made.status) {
    case DirStatus::Created:
      return {FolderStatus::Created, OutDir, {}};
    case DirStatus::ExistsAsFolder:
      return {FolderStatus::Existed, OutDir, std::move(made.reason)};
    case DirStatus::ExistsAsOther:
      return {FolderStatus::FileInTheWay, OutDir, std::move(made.reason)};
    case DirStatus::Failed:
      break;
  }
  return {FolderStatus::Failed, OutDir, std::move(made.reason)};
}

WriteResult EmlFolderWriter::Write(const MessageRecord& message) {
  const auto name = EmlFileName(message.MsgNo);
  if (!name) return {WriteResult::Status::NumberUnusable, {}, {}, 0};
  EmlPath = JoinPath(OutDir, *name);

  text_.clear();
  text_.reserve(message.Body.size() + 256);
  std::size_t replaced = 0;
  if (form_ == MailForm::Raw) {
    AppendRawEml(message, text_);
  } else {
    replaced = mime_.Append(message, text_);
  }
  const IoResult written = files_.WriteWholeFile(EmlPath, text_);
  if (!written.ok) return {WriteResult::Status::Failed, EmlPath, written.reason, replaced};
  return {WriteResult::Status::Written, EmlPath, {}, replaced};
}

void AppendRawEml(const MessageRecord& message, std::string& text) {
  text += "From: ";
  text += message.SenderName;
  text += " <";
  text += message.SenderId;
  text += "@";
  text += kMailDomain;
  text += ">\r\nSubject: ";
  text += message.Subject;
  text += "\r\nDate: ";
  text += message.MsgDate;
  text += " ";
  text += message.MsgTime;
  text += ":00 +0900\r\nMessage-Id: <";
  text += message.MsgNo;
  text += ">\r\nReferences: <";
  text += message.RefNo;
  text += ">\r\n\r\n";
  text += message.Body;
  text += "\r\n";
}

}  // namespace tav
