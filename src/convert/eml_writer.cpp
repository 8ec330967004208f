// The output folder of a log, beside it and named by the first characters
// of its file name, and one .eml file per message in it.
#include "convert/eml_writer.h"

#include "convert/eml_names.h"
#include "convert/folder_names.h"
#include "convert/mbox_writer.h"
#include "mail/mail_domain.h"
#include "mail/message_identity.h"
#include "platform/paths.h"

namespace tav {

namespace {

std::string_view HeaderOf(std::string_view text) {
  return text.substr(0, text.find("\r\n\r\n"));
}

std::string ReadText(FileSystem& files, const std::filesystem::path& path) {
  FileBytes bytes;
  if (!files.ReadWholeFile(path, bytes).ok) return {};
  return std::string(bytes.begin(), bytes.end());
}

// "<identifier>" as a header field holds it.
std::string Bracketed(std::string_view identifier) {
  return identifier.empty() ? std::string() : "<" + std::string(identifier) + ">";
}

}  // namespace

FolderOutcome EmlFolderWriter::BeginLog(const LogTarget& target) {
  // Only a log whose conversion broke off leaves writes pending here, and
  // its result tells of that already: the folder is made with none.
  BackgroundFailure();
  OutDir = JoinPath(target.directory, target.folderName);
  folder_ = nullptr;
  if (IsUnsafeFolderName(target.folderName)) return {FolderStatus::Unsafe, OutDir, {}};
  DirResult made = files_.MakeDirectory(OutDir);
  switch (made.status) {
    case DirStatus::Created:
      folder_ = &folders_[OutDir];
      return {FolderStatus::Created, OutDir, {}};
    case DirStatus::ExistsAsFolder:
      if (const auto known = folders_.find(OutDir); known != folders_.end()) {
        folder_ = &known->second;
      } else {
        folder_ = &folders_[OutDir];
        folder_->fromBefore = true;
        RemoveAbandonedFreshFiles(files_, OutDir);
      }
      return {FolderStatus::Existed, OutDir, std::move(made.reason)};
    case DirStatus::ExistsAsOther:
      return {FolderStatus::FileInTheWay, OutDir, std::move(made.reason)};
    case DirStatus::Failed:
      break;
  }
  return {FolderStatus::Failed, OutDir, std::move(made.reason)};
}

WriteResult EmlFolderWriter::Write(const MessageRecord& message) {
  if (writes_.Failed()) return BackgroundFailure();
  const auto name = EmlFileName(message.MsgNo);
  if (!name) return {WriteResult::Status::NumberUnusable, {}, {}, 0, false};
  EmlPath = JoinPath(OutDir, *name);
  if (folder_ == nullptr) folder_ = &folders_[OutDir];
  return form_ == MailForm::Raw ? WriteRaw(message) : WriteMime(message);
}

WriteResult EmlFolderWriter::WriteRaw(const MessageRecord& message) {
  const auto prior = folder_->written.find(std::string(message.MsgNo));
  const bool writtenBefore = prior != folder_->written.end();
  const bool heldBefore = !writtenBefore && folder_->fromBefore && files_.Exists(EmlPath);
  // A title list names messages; it never stands in for one read.
  if (message.TitleListEntry && (writtenBefore || heldBefore)) {
    return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  }
  text_.clear();
  text_.reserve(message.Body.size() + 256);
  AppendRawEml(message, text_);
  const std::string_view header = HeaderOf(text_);
  // What the file holds: read back when it was there before the run,
  // remembered when this run wrote it.
  bool replacedAnother = false;
  if (!message.TitleListEntry && heldBefore) {
    replacedAnother = HeaderOf(ReadText(files_, EmlPath)) != header;
  } else if (!message.TitleListEntry && writtenBefore && !prior->second.titleListEntry) {
    replacedAnother = prior->second.mark != header;
  }
  Written& entry = writtenBefore ? prior->second : folder_->written[std::string(message.MsgNo)];
  entry.titleListEntry = message.TitleListEntry;
  entry.mark.assign(header);
  Queue(message.MsgNo);
  return {WriteResult::Status::Written, EmlPath, {}, 0, replacedAnother};
}

WriteResult EmlFolderWriter::WriteMime(const MessageRecord& message) {
  if (message.TitleListEntry) return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  // The files the registry may ask about: this number's, and the parent's.
  // Only a folder there before the run can hold a message the run did not
  // write: only there is the file's path needed.
  const std::string key = PlainIdentifier(message);
  keyFiles_[key] = {folder_, folder_->fromBefore ? EmlPath : std::filesystem::path(),
                    std::string(message.MsgNo)};
  if (!message.RefNo.empty()) {
    if (const auto parentName = EmlFileName(message.RefNo)) {
      keyFiles_[ParentKey(message)] = {
          folder_, folder_->fromBefore ? JoinPath(OutDir, *parentName) : std::filesystem::path(),
          std::string(message.RefNo)};
    }
  }
  const PlacedMessage& placed = registry_.Place(message);
  text_.clear();
  text_.reserve(message.Body.size() + 512);
  const std::size_t replaced =
      mime_.Append(message, {placed.identifier, placed.parent, placed.digest}, text_);

  // Another message in the file: one this run wrote, or one held before.
  bool replacedAnother = false;
  const auto [prior, first] = folder_->written.try_emplace(std::string(message.MsgNo));
  if (!first) {
    replacedAnother = prior->second.mark != placed.identifier;
  } else if (const auto held = heldTexts_.find(key); held != heldTexts_.end()) {
    replacedAnother = HeaderField(held->second, "Message-Id") != Bracketed(placed.identifier);
  }
  prior->second.titleListEntry = false;
  prior->second.mark.assign(placed.identifier);
  if (!placed.parentSettled) unsettled_.emplace_back(EmlPath, placed);
  Queue(message.MsgNo);
  return {WriteResult::Status::Written, EmlPath, {}, replaced, replacedAnother};
}

std::vector<std::string> EmlFolderWriter::Held(const std::string& key) {
  const auto file = keyFiles_.find(key);
  if (file == keyFiles_.end()) return {};
  const Folder& folder = *file->second.folder;
  if (!folder.fromBefore || folder.written.contains(file->second.number)) return {};
  std::string text = ReadText(files_, file->second.path);
  std::string identifier = HeaderField(text, "Message-Id").value_or("");
  if (identifier.size() < 2) return {};
  heldTexts_[key] = std::move(text);
  return {identifier.substr(1, identifier.size() - 2)};
}

bool EmlFolderWriter::IsSame(const std::string&, const MessageRecord& record,
                             std::string_view digest) {
  const std::string& text = heldTexts_[PlainIdentifier(record)];
  if (const auto stored = HeaderField(text, "X-TAV-Digest")) return *stored == digest;
  // Written before messages carried their digest: the same sender, subject and date.
  return StoredSignature(text) == mime_.Signature(record);
}

void EmlFolderWriter::Queue(std::string_view number) {
  writes_.Queue(EmlPath, text_);
  queued_.emplace_back(folder_, number);
  // More than the background ever holds at once.
  if (queued_.size() > 256) queued_.pop_front();
}

WriteResult EmlFolderWriter::BackgroundFailure() {
  BackgroundWrites::Outcome failed = writes_.Wait();
  if (failed.result.ok) return {};
  // What the dropped files would have replaced is whatever the folder
  // holds now: it is read from the disk from here on.
  for (std::size_t dropped = 0; dropped < failed.notWritten && !queued_.empty(); ++dropped) {
    auto& [folder, number] = queued_.back();
    folder->written.erase(number);
    folder->fromBefore = true;
    queued_.pop_back();
  }
  queued_.clear();
  return {WriteResult::Status::Failed, std::move(failed.file), std::move(failed.result.reason), 0,
          false, failed.notWritten};
}

WriteResult EmlFolderWriter::EndLog() {
  return BackgroundFailure();
}

IoResult EmlFolderWriter::Finish() {
  if (const WriteResult failed = BackgroundFailure(); failed.status == WriteResult::Status::Failed) {
    return IoResult::Failure(Utf8FromPath(failed.file) + ": " + failed.reason);
  }
  for (const auto& [path, placed] : unsettled_) {
    const std::string parent = registry_.FinalParent(placed);
    std::string text = ReadText(files_, path);
    // A later message of the same number may have replaced the file.
    if (HeaderField(text, "Message-Id") != Bracketed(placed.identifier)) continue;
    if (HeaderField(text, "In-Reply-To").value_or("") == Bracketed(parent)) continue;
    SetParentIdentifier(text, parent, "\r\n");
    if (IoResult written = files_.WriteWholeFile(path, text); !written.ok) {
      written.reason = Utf8FromPath(path) + ": " + written.reason;
      return written;
    }
  }
  unsettled_.clear();
  return IoResult::Success();
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
