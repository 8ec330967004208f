// The writer of one mailbox file (mboxrd) holding every message of every
// log, each in the standard mail form: `tavconv --mbox FILE`.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "convert/mail_writer.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

class MboxWriter : public MailWriter {
 public:
  explicit MboxWriter(FileSystem& files) : files_(files) {}

  // Starts the mailbox: refuses a FILE that exists, before anything is
  // converted, and creates a fresh file in FILE's folder to fill.
  IoResult Open(const std::filesystem::path& file);
  // The mailbox keeps no folder per log.
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override;
  // Renames the complete mailbox into place, unless a FILE appeared
  // meanwhile or a write failed; otherwise nothing of it is left.
  IoResult Finish();
  // True once a write failed: the mailbox will not be written.
  bool failed() const { return !failure_.ok; }

 private:
  // Hands the buffered text to the file.
  void Flush();

  FileSystem& files_;
  std::filesystem::path target_;
  std::unique_ptr<FreshFile> fresh_;
  MimeMessageBuilder builder_;
  std::string message_;  // one message in the standard form
  std::string buffer_;   // mailbox text not yet written
  IoResult failure_;
};

// Appends `message` (CR LF lines) to `mbox` the mboxrd way: a From_ line
// with `sender` and the message's date, every line that begins with any
// number of ">" and then "From " quoted with one more ">", LF line ends,
// and an empty line after the message.
void AppendMboxMessage(const MessageRecord& record, std::string_view sender,
                       std::string_view message, std::string& mbox);

}  // namespace tav
