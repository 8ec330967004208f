#include "archive/archive_model.h"

#include <algorithm>

#include "archive/archive_identity.h"
#include "archive/archive_names.h"
#include "mail/message_time.h"

namespace tav {

MessageRecord ArchiveMessage::Record(std::string_view folderName) const {
  MessageRecord record;
  record.FolderName = folderName;
  record.MsgNo = field(Number);
  record.SenderId = field(SenderId);
  record.SenderName = field(SenderName);
  record.Subject = field(Subject);
  record.MsgDate = field(Date);
  record.MsgTime = field(Time);
  record.RefNo = field(RefNo);
  return record;
}

std::optional<std::chrono::sys_seconds> ArchiveMessage::When() const {
  return MessageTime(Record({}));
}

std::uint32_t ArchiveModel::SectionOf(std::string_view folderName) {
  for (std::uint32_t i = 0; i < sections.size(); ++i) {
    if (sections[i].folderName == folderName) return i;
  }
  sections.push_back({std::string(folderName), SectionTag(folderName), {}});
  return static_cast<std::uint32_t>(sections.size() - 1);
}

std::string ArchiveModel::NumberKey(std::uint32_t section, std::string_view number) {
  std::string key = std::to_string(section);
  key += '/';
  key += number;
  return key;
}

void ArchiveModel::Index(std::uint32_t ordinal) {
  const ArchiveMessage& message = messages[ordinal];
  byDigest_.emplace(message.digest, ordinal);
  byNumber_[NumberKey(message.section, message.field(ArchiveMessage::Number))].push_back(ordinal);
  stems_.emplace(sections[message.section].tag + "/" + message.stem, ordinal);
}

void ArchiveModel::AddPrevious(ArchiveMessage message) {
  message.inPreviousArchive = true;
  message.digest = IdentityDigest(message.Record(sections[message.section].folderName));
  messages.push_back(std::move(message));
  Index(static_cast<std::uint32_t>(messages.size() - 1));
}

std::uint32_t ArchiveModel::Read(const MessageRecord& record, bool& added) {
  const std::uint32_t section = SectionOf(record.FolderName);
  const std::string date(record.MsgDate), time(record.MsgTime);
  const std::array<std::string_view, ArchiveMessage::kFields> fields = {
      record.MsgNo, record.SenderId, record.SenderName, record.Subject,
      record.MsgDate, record.MsgTime, record.RefNo};
  const std::uint64_t digest = IdentityDigest(record);

  added = false;
  std::uint32_t ordinal = 0;
  bool found = false;
  for (auto [it, end] = byDigest_.equal_range(digest); it != end && !found; ++it) {
    const ArchiveMessage& known = messages[it->second];
    found = known.section == section;
    for (int f = 0; f < ArchiveMessage::kFields && found; ++f) {
      found = known.field(static_cast<ArchiveMessage::Field>(f)) == fields[f];
    }
    if (found) ordinal = it->second;
  }
  if (!found) {
    ArchiveMessage message;
    message.section = section;
    for (int f = 0; f < ArchiveMessage::kFields; ++f) {
      message.raw += fields[f];
      message.ends[f] = static_cast<std::uint32_t>(message.raw.size());
    }
    message.digest = digest;
    const std::string& tag = sections[section].tag;
    const std::string numberStem = NumberStem(record.MsgNo);
    message.stem = numberStem;
    if (stems_.contains(tag + "/" + message.stem)) message.stem = DigestStem(numberStem, digest);
    // Two digests alike: numbered on.
    for (int n = 2; stems_.contains(tag + "/" + message.stem); ++n) {
      message.stem = DigestStem(numberStem, digest) + "-" + std::to_string(n);
    }
    messages.push_back(std::move(message));
    ordinal = static_cast<std::uint32_t>(messages.size() - 1);
    Index(ordinal);
    added = true;
  }
  ArchiveMessage& message = messages[ordinal];
  message.lastRead = ++readings;
  message.runPosition = ++runCount_;
  runReadings_[NumberKey(section, record.MsgNo)].push_back({message.runPosition, ordinal});
  return ordinal;
}

std::int32_t ArchiveModel::Find(std::uint32_t section, std::string_view stem) const {
  const auto found = stems_.find(sections[section].tag + "/" + std::string(stem));
  return found == stems_.end() ? kNoMessage : static_cast<std::int32_t>(found->second);
}

bool ArchiveModel::WouldCircle(std::uint32_t message, std::uint32_t parent) const {
  for (std::int32_t at = static_cast<std::int32_t>(parent); at != kNoMessage;
       at = messages[static_cast<std::uint32_t>(at)].parent) {
    if (static_cast<std::uint32_t>(at) == message) return true;
  }
  return false;
}

std::int32_t ArchiveModel::ParentFor(std::uint32_t ordinal) const {
  const ArchiveMessage& message = messages[ordinal];
  const std::string key = NumberKey(message.section, message.field(ArchiveMessage::RefNo));
  std::vector<std::uint32_t> candidates;
  // This run's readings of that number: the last before the reply, then the
  // first after it. A message not read in this run counts as read before it.
  if (const auto run = runReadings_.find(key); run != runReadings_.end()) {
    const std::vector<Reading>& read = run->second;
    const std::uint64_t at = message.runPosition;
    for (auto it = read.rbegin(); it != read.rend(); ++it) {
      if (it->position < at && it->message != ordinal) {
        candidates.push_back(it->message);
        break;
      }
    }
    for (const Reading& reading : read) {
      if (reading.position > at && reading.message != ordinal) {
        candidates.push_back(reading.message);
        break;
      }
    }
  }
  // Then the previous archive's message of that number written last.
  if (const auto all = byNumber_.find(key); all != byNumber_.end()) {
    std::int64_t best = -1;
    for (const std::uint32_t other : all->second) {
      const ArchiveMessage& candidate = messages[other];
      if (other != ordinal && candidate.inPreviousArchive &&
          (best < 0 || candidate.lastRead > messages[static_cast<std::uint32_t>(best)].lastRead)) {
        best = other;
      }
    }
    if (best >= 0) candidates.push_back(static_cast<std::uint32_t>(best));
  }
  for (const std::uint32_t candidate : candidates) {
    if (!WouldCircle(ordinal, candidate)) return static_cast<std::int32_t>(candidate);
  }
  return kNoMessage;
}

void ArchiveModel::ResolveParents() {
  // A message of an earlier run that is not read again keeps its parent;
  // every other reply is resolved anew, in the order the archive has them,
  // after all of their old links are gone.
  std::vector<std::uint32_t> replies;
  for (std::uint32_t ordinal = 0; ordinal < messages.size(); ++ordinal) {
    ArchiveMessage& message = messages[ordinal];
    if (message.field(ArchiveMessage::RefNo).empty()) continue;
    if (message.runPosition == 0 && message.parent != kNoMessage) continue;
    message.parent = kNoMessage;
    replies.push_back(ordinal);
  }
  for (const std::uint32_t ordinal : replies) messages[ordinal].parent = ParentFor(ordinal);
}

}  // namespace tav
