// The writer of one mailbox file (mboxrd) holding every message of every
// log, each in the standard mail form: `tavconv --mbox FILE`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "convert/mail_writer.h"
#include "convert/message_registry.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

class MboxWriter : public MailWriter {
 public:
  explicit MboxWriter(FileSystem& files) : files_(files) {}

  // Starts the mailbox: refuses a FILE that exists, before anything is
  // converted, removes fresh files that killed runs left beside it, and
  // creates a fresh file in FILE's folder to fill.
  IoResult Open(const std::filesystem::path& file);
  // The mailbox keeps no folder per log.
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override;
  // Leaves out the earlier readings of messages read again, names the
  // parents that came later in the run, puts the mailbox on the disk and
  // renames it into place, unless a FILE appeared meanwhile or a write
  // failed; otherwise nothing of it is left.
  IoResult Finish() override;
  // True once a write failed: the mailbox will not be written.
  bool failed() const { return !failure_.ok; }

 private:
  // One message's text in the fresh file.
  struct Entry {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    bool kept = true;  // false once the message was read again later in the run
  };

  // Hands the buffered text to the file.
  void Flush();
  // Writes the kept messages, with their final parents, to a second fresh
  // file, which then stands in for the first.
  IoResult Rewrite(const std::vector<std::string>& parents);

  FileSystem& files_;
  std::filesystem::path target_;
  std::unique_ptr<FreshFile> fresh_;
  MessageRegistry registry_;
  MimeMessageBuilder builder_;
  std::string message_;         // one message in the standard form
  std::string sender_;          // its sender's address
  std::string buffer_;          // mailbox text not yet written
  std::uint64_t flushed_ = 0;   // bytes handed to the file
  std::vector<Entry> entries_;  // one per message placed, by its sequence
  // The messages whose parent may come later in the run.
  std::vector<PlacedMessage> unsettled_;
  IoResult failure_;
};

// Appends `message` (CR LF lines) to `mbox` the mboxrd way: a From_ line
// with `sender` and the message's date, every line that begins with any
// number of ">" and then "From " quoted with one more ">", LF line ends,
// and an empty line after the message.
void AppendMboxMessage(const MessageRecord& record, std::string_view sender,
                       std::string_view message, std::string& mbox);

// Removes the fresh files that runs killed outright left in `folder`.
void RemoveAbandonedFreshFiles(FileSystem& files, const std::filesystem::path& folder);

}  // namespace tav
