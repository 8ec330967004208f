// The writer of a folder of .eml files beside each log: the window's output
// and tavconv's default, or, with the MIME form, `tavconv --mime`.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "convert/mail_writer.h"
#include "convert/message_registry.h"
#include "mail/mime_message.h"
#include "platform/background_writes.h"
#include "platform/file_system.h"

namespace tav {

enum class MailForm {
  Raw,   // five header lines and the body in the log's own code page 932 bytes
  Mime,  // standard Internet mail: UTF-8, encoded words, MIME header lines
};

// One writer serves one run: it remembers what the run wrote where.
class EmlFolderWriter : public MailWriter, private HeldMessages {
 public:
  EmlFolderWriter(FileSystem& files, MailForm form)
      : files_(files), form_(form), registry_(this) {}

  // Makes the log's output folder (MakeOutDir); in a folder that was there
  // before, removes the fresh files that killed runs left.
  FolderOutcome BeginLog(const LogTarget& target) override;
  // Writes the message as OutDir, the message number and ".eml" (WriteEml),
  // in the background: a failure comes back with a later message or at
  // EndLog. A title-list entry never replaces a file of its number; in the
  // MIME form it is never written.
  WriteResult Write(const MessageRecord& message) override;
  // Waits for the log's files.
  WriteResult EndLog() override;
  // The MIME form: names the parents that came later in the run.
  IoResult Finish() override;

  // The log's output folder, and the file written last.
  std::filesystem::path OutDir;
  std::filesystem::path EmlPath;

 private:
  // What the run wrote into one output folder, by message number.
  struct Written {
    bool titleListEntry = false;
    // What tells the message in the file apart: the raw form's header
    // lines, the MIME form's identifier.
    std::string mark;
  };
  struct Folder {
    bool fromBefore = false;  // there before the run: its files count as held
    std::unordered_map<std::string, Written> written;
  };

  WriteResult WriteRaw(const MessageRecord& message);
  WriteResult WriteMime(const MessageRecord& message);
  // Hands text_ to the background as EmlPath, the file of `number`.
  void Queue(std::string_view number);
  // Waits for the background; its failure as a write's result (Written
  // when there is none).
  WriteResult BackgroundFailure();

  // The MIME form's files held before the run (HeldMessages).
  std::vector<std::string> Held(const std::string& key) override;
  bool IsSame(const std::string& identifier, const MessageRecord& record,
              std::string_view digest) override;

  FileSystem& files_;
  MailForm form_;
  MimeMessageBuilder mime_;
  std::string text_;  // the file being written, reused between messages
  std::map<std::filesystem::path, Folder> folders_;
  Folder* folder_ = nullptr;  // OutDir's

  MessageRegistry registry_;
  // The messages' files: written in order by a second thread. The files
  // the writer reads meanwhile (one held before the run) are never among them.
  BackgroundWrites writes_{files_};
  // The numbers of the last files queued, in order: those whose write was
  // dropped are no longer known as written (BackgroundFailure).
  std::deque<std::pair<Folder*, std::string>> queued_;
  // The file of each plain identifier that a message or a reply named, and
  // the texts of those held before the run.
  struct KeyFile {
    Folder* folder;              // the output folder it is in
    std::filesystem::path path;  // in a folder there before the run
    std::string number;          // code page 932 bytes
  };
  std::unordered_map<std::string, KeyFile> keyFiles_;
  std::unordered_map<std::string, std::string> heldTexts_;
  std::vector<std::pair<std::filesystem::path, PlacedMessage>> unsettled_;
};

// Appends a message in the raw form: five header lines, an empty line, the
// body and one more line end, in the log's own bytes.
void AppendRawEml(const MessageRecord& message, std::string& text);

}  // namespace tav
