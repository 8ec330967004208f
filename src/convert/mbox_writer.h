// The writer of one mailbox file (mboxrd) holding every message of every
// log, each in the standard mail form: `tavconv --mbox FILE`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "convert/mail_writer.h"
#include "convert/mbox_filler.h"
#include "convert/message_registry.h"
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
  // Writes the kept messages, with their final parents, to a second fresh
  // file, which then stands in for the first.
  IoResult Rewrite(const std::vector<std::string>& parents);

  FileSystem& files_;
  std::filesystem::path target_;
  std::unique_ptr<FreshFile> fresh_;
  std::unique_ptr<MboxFiller> filler_;  // fills fresh_
  MessageRegistry registry_;
  // One per message placed, by its sequence: false once the message was
  // read again later in the run.
  std::vector<bool> kept_;
  // The messages whose parent may come later in the run.
  std::vector<PlacedMessage> unsettled_;
  IoResult failure_;
};

// Removes the fresh files that runs killed outright left in `folder`.
void RemoveAbandonedFreshFiles(FileSystem& files, const std::filesystem::path& folder);

}  // namespace tav
