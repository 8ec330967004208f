// The writer of a folder of .eml files beside each log: the window's output
// and tavconv's default, or, with the MIME form, `tavconv --mime`.
#pragma once

#include <filesystem>
#include <string>

#include "convert/mail_writer.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

enum class MailForm {
  Raw,   // five header lines and the body in the log's own code page 932 bytes
  Mime,  // standard Internet mail: UTF-8, encoded words, MIME header lines
};

class EmlFolderWriter : public MailWriter {
 public:
  EmlFolderWriter(FileSystem& files, MailForm form) : files_(files), form_(form) {}

  // Makes the log's output folder (MakeOutDir).
  FolderOutcome BeginLog(const LogTarget& target) override;
  // Writes the message as OutDir, the message number and ".eml" (WriteEml).
  WriteResult Write(const MessageRecord& message) override;

  // The log's output folder, and the file written last.
  std::filesystem::path OutDir;
  std::filesystem::path EmlPath;

 private:
  FileSystem& files_;
  MailForm form_;
  MimeMessageBuilder mime_;
  std::string text_;  // the file being written, reused between messages
};

// Appends a message in the raw form: five header lines, an empty line, the
// body and one more line end, in the log's own bytes.
void AppendRawEml(const MessageRecord& message, std::string& text);

}  // namespace tav
