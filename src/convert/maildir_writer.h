// The writer of a Maildir holding every message of every log, each in the
// standard mail form and marked as seen: `tavconv --maildir DIR`.
#pragma once

#include <filesystem>
#include <string>

#include "convert/mail_writer.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

class MaildirWriter : public MailWriter {
 public:
  explicit MaildirWriter(FileSystem& files) : files_(files) {}

  // Makes DIR (and the folders above it) and its tmp, new and cur folders
  // where they are missing.
  IoResult Open(const std::filesystem::path& dir);
  // The Maildir keeps no folder per log.
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  // Writes the message into tmp and renames it into cur, named after its
  // identifier, so that converting a log again replaces its messages.
  WriteResult Write(const MessageRecord& message) override;

  // The name of a message's file in cur: its identifier and the seen flag.
  static std::string FileName(const MessageRecord& message);

 private:
  FileSystem& files_;
  std::filesystem::path tmp_;
  std::filesystem::path cur_;
  MimeMessageBuilder builder_;
  std::string message_;
};

}  // namespace tav
