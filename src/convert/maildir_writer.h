// The writer of a Maildir holding every message of every log, each in the
// standard mail form: `tavconv --maildir DIR`. A message is known by the
// unique part of its file name (before the flags), which its identifier
// gives, wherever it is (new or cur) and whatever flags the mail program
// set: converting the same logs again leaves identical messages untouched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "convert/mail_writer.h"
#include "convert/message_registry.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

class MaildirWriter : public MailWriter, private HeldMessages {
 public:
  explicit MaildirWriter(FileSystem& files) : files_(files), registry_(this) {}

  // Makes DIR (and the folders above it) and its tmp, new and cur folders
  // where they are missing, learns the messages it holds, and removes the
  // fresh files that killed runs left in tmp.
  IoResult Open(const std::filesystem::path& dir);
  // The Maildir keeps no folder per log.
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  // Writes the message into tmp; a batch at a time, the files are put on
  // the disk and then renamed into cur (marked as seen), or over the file
  // that holds the same message with other content.
  WriteResult Write(const MessageRecord& message) override;
  // Names the parents that came later in the run and puts everything on the disk.
  IoResult Finish() override;

  // The unique part of a message's file name: its identifier, or for an
  // identifier too long for a file name its start and its fingerprint. An
  // identifier with a capital letter carries its fingerprint too, so that
  // two identifiers that differ only in case never share a file on a
  // volume that ignores case.
  static std::string UniqueName(std::string_view identifier);

 private:
  // What the Maildir held before the run (HeldMessages).
  std::vector<std::string> Held(const std::string& key) override;
  bool IsSame(const std::string& identifier, const MessageRecord& record,
              std::string_view digest) override;

  // Learns the messages of cur or new.
  void LearnFolder(const std::filesystem::path& folder);
  // A message file of the Maildir, by the unique part of its name.
  struct StoredFile {
    // Where a file the Maildir held is, with the flags a mail program gave
    // it; empty for one this run puts into cur.
    std::filesystem::path held;
    bool writtenThisRun = false;  // this run put it into the Maildir
    bool queued = false;          // a new text of it waits in the queue
  };
  using StoredFiles = std::unordered_map<std::string, StoredFile>;

  // The unique part of a message's file name, appended to `out`.
  static void AppendUniqueName(std::string_view identifier, std::string& out);
  // Where a message file is.
  std::filesystem::path PathOf(const StoredFiles::value_type& file) const;
  // Queues `text` to replace or become `target`; a full batch is flushed.
  IoResult Queue(std::string_view text, StoredFiles::value_type& target);
  // Puts the queued files on the disk and renames them into place.
  IoResult FlushQueue();
  // Queues the deferred new texts of held messages that differ from what
  // the Maildir holds.
  IoResult ApplyDeferred();
  // The file of `unique`, current on the disk (a queued write flushed first).
  IoResult ReadStored(const std::string& unique, std::string& text);

  FileSystem& files_;
  std::filesystem::path tmp_, new_, cur_;
  MessageRegistry registry_;
  MimeMessageBuilder builder_;
  std::string message_;
  std::string unique_;  // the unique part of its file's name

  // Each message file, by its unique part; the messages held before the run
  // by their plain identifiers, with when they were written.
  StoredFiles filesByUnique_;
  struct HeldFile {
    std::int64_t modified;
    std::string identifier;
  };
  std::unordered_map<std::string, std::vector<HeldFile>> held_;

  std::vector<std::unique_ptr<FreshFile>> queued_;
  std::vector<StoredFiles::value_type*> queuedTargets_;  // the files they become
  std::filesystem::path failedFile_;  // the file the last failure was about
  // The new texts of held messages, applied at the end where they differ.
  std::unordered_map<std::string, std::string> deferred_;
  std::size_t deferredBytes_ = 0;
  // The messages whose parent may come later in the run, by unique part.
  std::vector<std::pair<std::string, PlacedMessage>> unsettled_;
};

}  // namespace tav
