#include "convert/maildir_writer.h"

#include <algorithm>

#include "convert/mbox_writer.h"
#include "mail/fnv_hash.h"
#include "mail/mail_domain.h"
#include "mail/message_identity.h"
#include "platform/paths.h"

namespace tav {

namespace {

// What separates a name from its flags: ":" as Maildir has it; Windows
// does not allow ":" in a file name, so "!" there.
#ifdef _WIN32
constexpr char kInfoSeparator = '!';
#else
constexpr char kInfoSeparator = ':';
#endif

// Files renamed into place a batch at a time, after one sync for all. On a
// disk, batches of 16 took 1.17 times as long as batches of 64; 128 to 1024
// gained nothing that held from one measurement to the next, while every
// message of a batch keeps its file open (macOS allows 256 by default).
constexpr std::size_t kBatch = 64;

// The most bytes of held messages whose change waits for the end of the run.
constexpr std::size_t kMostDeferredBytes = std::size_t{64} << 20;

// The longest unique part that stands as the identifier itself: a file
// name keeps within 255 bytes with a fingerprint (17 bytes) and the flags
// a mail program adds.
constexpr std::size_t kLongestUnique = 200;

IoResult MakeFolder(FileSystem& files, const std::filesystem::path& folder) {
  const DirResult made = files.MakeDirectory(folder);
  switch (made.status) {
    case DirStatus::Created:
    case DirStatus::ExistsAsFolder:
      return IoResult::Success();
    case DirStatus::ExistsAsOther:
      return IoResult::Failure(Utf8FromPath(folder) + ": not a folder");
    case DirStatus::Failed:
      break;
  }
  return IoResult::Failure(Utf8FromPath(folder) + ": " + made.reason);
}

std::string Text(const FileBytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string MaildirWriter::UniqueName(std::string_view identifier) {
  std::string unique;
  AppendUniqueName(identifier, unique);
  return unique;
}

void MaildirWriter::AppendUniqueName(std::string_view identifier, std::string& out) {
  const bool fits = identifier.size() <= kLongestUnique;
  out += fits ? identifier : identifier.substr(0, kLongestUnique - 17);
  // The fingerprint tells case apart where the file system does not:
  // "00001.MAI" and "00001.mai" are two folder names' messages.
  if (fits && std::none_of(identifier.begin(), identifier.end(),
                           [](char c) { return c >= 'A' && c <= 'Z'; })) {
    return;
  }
  Fnv1a64 hash;
  hash.Add(identifier);
  out += '~';
  Fnv1a64::AppendHex(hash.Value(), out);
}

std::filesystem::path MaildirWriter::PathOf(const StoredFiles::value_type& file) const {
  const auto& [unique, stored] = file;
  if (!stored.held.empty()) return stored.held;
  return JoinPath(cur_, PathFromUtf8(unique + kInfoSeparator + "2,S"));
}

IoResult MaildirWriter::Open(const std::filesystem::path& dir) {
  tmp_ = JoinPath(dir, "tmp");
  new_ = JoinPath(dir, "new");
  cur_ = JoinPath(dir, "cur");
  // The folders above DIR that are missing come first, as with mkdir -p.
  std::vector<std::filesystem::path> folders = {cur_, new_, tmp_, dir};
  for (std::filesystem::path at = dir.parent_path(); !at.empty() && !files_.Exists(at);
       at = at.parent_path()) {
    folders.push_back(at);
    if (at == at.parent_path()) break;
  }
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    if (IoResult made = MakeFolder(files_, *folder); !made.ok) return made;
  }
  RemoveAbandonedFreshFiles(files_, tmp_);
  LearnFolder(new_);
  LearnFolder(cur_);
  for (auto& [key, held] : held_) {
    std::sort(held.begin(), held.end(), [](const HeldFile& a, const HeldFile& b) {
      return a.modified != b.modified ? a.modified < b.modified : a.identifier < b.identifier;
    });
  }
  return IoResult::Success();
}

void MaildirWriter::LearnFolder(const std::filesystem::path& folder) {
  std::vector<FolderEntry> entries;
  if (!files_.ListFolder(folder, entries).ok) return;
  const std::string domain = "@" + std::string(kMailDomain);
  FileBytes bytes;
  for (const FolderEntry& entry : entries) {
    if (!entry.isFile) continue;
    const std::string name = Utf8FromPath(entry.name);
    const std::string unique = name.substr(0, name.find(kInfoSeparator));
    const std::filesystem::path path = JoinPath(folder, entry.name);
    // The identifier stands whole before its fingerprint, if any: no
    // identifier holds a "~", and one cut short ends in no mail domain.
    const std::string_view named = std::string_view(unique).substr(0, unique.rfind('~'));
    std::string identifier;
    if (named.ends_with(domain)) {
      identifier = named;
    } else if (unique.size() == kLongestUnique && unique[kLongestUnique - 17] == '~' &&
               files_.ReadWholeFile(path, bytes).ok) {
      // A long identifier stands whole only in the message itself.
      identifier = HeaderField(View(bytes), "Message-Id").value_or("");
      if (identifier.size() > 2) identifier = identifier.substr(1, identifier.size() - 2);
    }
    // Known by the name this version gives the identifier: a file named
    // by an earlier one, without the fingerprint, is found as well.
    filesByUnique_[identifier.empty() ? unique : UniqueName(identifier)].held = path;
    if (!identifier.empty()) held_[KeyOfIdentifier(identifier)].push_back({entry.modified, identifier});
  }
}

std::vector<std::string> MaildirWriter::Held(const std::string& key) {
  std::vector<std::string> identifiers;
  if (const auto held = held_.find(key); held != held_.end()) {
    for (const HeldFile& file : held->second) identifiers.push_back(file.identifier);
  }
  return identifiers;
}

bool MaildirWriter::IsSame(const std::string& identifier, const MessageRecord& record,
                           std::string_view digest) {
  std::string text;
  if (!ReadStored(UniqueName(identifier), text).ok) return false;
  if (const auto stored = HeaderField(text, "X-TAV-Digest")) return *stored == digest;
  // Written before messages carried their digest: the same sender, subject and date.
  return StoredSignature(text) == builder_.Signature(record);
}

IoResult MaildirWriter::ReadStored(const std::string& unique, std::string& text) {
  const auto file = filesByUnique_.find(unique);
  if (file == filesByUnique_.end()) return IoResult::Failure("not in the Maildir");
  if (file->second.queued) {
    if (IoResult flushed = FlushQueue(); !flushed.ok) return flushed;
  }
  FileBytes bytes;
  IoResult read = files_.ReadWholeFile(PathOf(*file), bytes);
  text = Text(bytes);
  return read;
}

WriteResult MaildirWriter::Write(const MessageRecord& message) {
  if (message.TitleListEntry) return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  const PlacedMessage& placed = registry_.Place(message);
  message_.clear();
  const std::size_t replaced =
      builder_.Append(message, {placed.identifier, placed.parent, placed.digest}, message_);
  unique_.clear();
  AppendUniqueName(placed.identifier, unique_);
  if (!placed.parentSettled) unsettled_.emplace_back(unique_, placed);

  const auto [stored, isNew] = filesByUnique_.try_emplace(unique_);
  StoredFile& file = stored->second;
  IoResult result;
  if (isNew) {
    file.writtenThisRun = true;
    result = Queue(message_, *stored);
  } else if (file.writtenThisRun) {
    // Read again in this run: the later reading stands.
    result = Queue(message_, *stored);
  } else {
    // A message the Maildir held: whether it changes is decided at the
    // end, once every reading of it (and its parent) is known, so that a
    // message read again the same way stays untouched, flags and all.
    deferredBytes_ += message_.size();
    deferred_[unique_] = message_;
    if (deferredBytes_ > kMostDeferredBytes) result = ApplyDeferred();
  }
  if (!result.ok) return {WriteResult::Status::Failed, failedFile_, result.reason, replaced, false};
  return {WriteResult::Status::Written, {}, {}, replaced, false};
}

IoResult MaildirWriter::Queue(std::string_view text, StoredFiles::value_type& target) {
  IoResult result;
  std::unique_ptr<FreshFile> file = files_.CreateFreshFile(tmp_, result);
  if (!file) return result;
  if (result = file->Write(text); !result.ok) return result;
  queued_.push_back(std::move(file));
  queuedTargets_.push_back(&target);
  target.second.queued = true;
  return queued_.size() >= kBatch ? FlushQueue() : IoResult::Success();
}

IoResult MaildirWriter::FlushQueue() {
  // Every message is on the disk before its name appears in cur: when the
  // sync fails, none is renamed. A message that cannot be renamed into place
  // does not keep the others out.
  IoResult result = files_.SyncFreshFiles(queued_);
  if (!result.ok) {
    if (!queuedTargets_.empty()) failedFile_ = PathOf(*queuedTargets_.front());
  } else {
    for (std::size_t k = 0; k < queued_.size(); ++k) {
      const std::filesystem::path target = PathOf(*queuedTargets_[k]);
      const IoResult committed = queued_[k]->Commit(target, true);
      if (!committed.ok && result.ok) {
        result = committed;
        failedFile_ = target;
      }
    }
  }
  for (StoredFiles::value_type* target : queuedTargets_) target->second.queued = false;
  queued_.clear();  // what was not committed is removed
  queuedTargets_.clear();
  return result;
}

IoResult MaildirWriter::ApplyDeferred() {
  IoResult result;
  std::string stored;
  for (auto& [unique, text] : deferred_) {
    if (!result.ok) break;
    if (ReadStored(unique, stored).ok && stored == text) continue;
    result = Queue(text, *filesByUnique_.find(unique));
  }
  deferred_.clear();
  deferredBytes_ = 0;
  return result;
}

IoResult MaildirWriter::Finish() {
  IoResult result = FlushQueue();
  for (const auto& [unique, placed] : unsettled_) {
    if (!result.ok) break;
    const std::string parent = registry_.FinalParent(placed);
    const auto deferred = deferred_.find(unique);
    std::string text;
    if (deferred != deferred_.end()) {
      text = deferred->second;
    } else if (!ReadStored(unique, text).ok) {
      continue;
    }
    const std::string current = HeaderField(text, "In-Reply-To").value_or("");
    if (current == (parent.empty() ? "" : "<" + parent + ">")) continue;
    SetParentIdentifier(text, parent, "\r\n");
    auto& file = *filesByUnique_.find(unique);
    if (deferred != deferred_.end() || !file.second.writtenThisRun) {
      deferred_[unique] = std::move(text);
    } else {
      result = Queue(text, file);
    }
  }
  if (result.ok) result = ApplyDeferred();
  if (result.ok) result = FlushQueue();
  if (!result.ok) {
    result.reason = Utf8FromPath(failedFile_) + ": " + result.reason;
    return result;
  }
  if (result = files_.SyncFolder(cur_); !result.ok) return result;
  return files_.SyncFolder(new_);
}

}  // namespace tav
