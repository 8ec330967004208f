#include "archive/archive_model.h"

#include <algorithm>

#include "archive/archive_names.h"
#include "mail/fnv_hash.h"
#include "mail/message_identity.h"
#include "mail/message_time.h"

namespace tav {

namespace {

constexpr std::size_t kArenaBlock = std::size_t{1} << 20;

std::uint64_t Fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3u;
  }
  return hash;
}

}  // namespace

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
  record.DateText = field(DateText);
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

std::uint64_t ArchiveModel::StemKey(std::uint32_t section, std::string_view stem) {
  return Fnv1a((0xcbf29ce484222325u ^ section) * 0x100000001b3u, stem);
}

const char* ArchiveModel::Keep(std::string_view text) {
  if (arena_.empty() || arena_.back().capacity() - arena_.back().size() < text.size()) {
    arena_.emplace_back().reserve(std::max(kArenaBlock, text.size()));
  }
  std::string& block = arena_.back();
  const std::size_t at = block.size();
  block += text;  // within the capacity: the block never moves
  return block.data() + at;
}

void ArchiveModel::Index(std::uint32_t ordinal) {
  const ArchiveMessage& message = messages[ordinal];
  byDigest_.Insert(ordinal, message.digest,
                   [this](std::uint32_t other) { return messages[other].digest; });
  byNumber_[NumberKey(message.section, message.field(ArchiveMessage::Number))].push_back(ordinal);
  byStem_.Insert(ordinal, StemKey(message.section, message.stem()), [this](std::uint32_t other) {
    return StemKey(messages[other].section, messages[other].stem());
  });
}

std::int32_t ArchiveModel::Find(std::uint32_t section, std::string_view stem) const {
  std::int32_t found = kNoMessage;
  byStem_.ForEach(StemKey(section, stem), [&](std::uint32_t ordinal) {
    const ArchiveMessage& message = messages[ordinal];
    if (message.section == section && message.stem() == stem) {
      found = static_cast<std::int32_t>(ordinal);
    }
  });
  return found;
}

void ArchiveModel::AddPrevious(std::uint32_t section, std::string_view stored,
                               const std::array<std::uint32_t, ArchiveMessage::kFields + 1>& ends,
                               std::int32_t parent) {
  ArchiveMessage message;
  message.section = section;
  message.texts = Keep(stored);
  message.ends = ends;
  message.parent = parent;
  message.inPreviousArchive = true;
  message.digest = MessageDigestValue(message.Record(sections[section].folderName));
  messages.push_back(message);
  Index(static_cast<std::uint32_t>(messages.size() - 1));
}

std::uint32_t ArchiveModel::Read(const MessageRecord& record, bool& added) {
  const std::uint32_t section = SectionOf(record.FolderName);
  const std::array<std::string_view, ArchiveMessage::kFields> fields = {
      record.MsgNo,   record.SenderId, record.SenderName, record.Subject,
      record.MsgDate, record.MsgTime,  record.RefNo,      record.DateText};
  const std::uint64_t digest = MessageDigestValue(record);

  added = false;
  std::uint32_t ordinal = 0;
  bool found = false;
  byDigest_.ForEach(digest, [&](std::uint32_t known) {
    const ArchiveMessage& message = messages[known];
    bool same = !found && message.digest == digest && message.section == section;
    for (int f = 0; f < ArchiveMessage::kFields && same; ++f) {
      same = message.field(static_cast<ArchiveMessage::Field>(f)) == fields[f];
    }
    if (same) {
      ordinal = known;
      found = true;
    }
  });
  if (!found) {
    // The first message of a number has the number's stem; another has the
    // digest in it too (and, should two digests be alike, a count).
    const std::string numberStem = NumberStem(record.MsgNo);
    std::string stem = numberStem;
    if (Find(section, stem) != kNoMessage) stem = DigestStem(numberStem, digest);
    for (int n = 2; Find(section, stem) != kNoMessage; ++n) {
      stem = DigestStem(numberStem, digest) + "-" + std::to_string(n);
    }
    std::string stored;
    ArchiveMessage message;
    for (int f = 0; f < ArchiveMessage::kFields; ++f) {
      stored += fields[f];
      message.ends[f] = static_cast<std::uint32_t>(stored.size());
    }
    stored += stem;
    message.ends[ArchiveMessage::kFields] = static_cast<std::uint32_t>(stored.size());
    message.texts = Keep(stored);
    message.section = section;
    message.digest = digest;
    messages.push_back(message);
    ordinal = static_cast<std::uint32_t>(messages.size() - 1);
    Index(ordinal);
    added = true;
  }
  ArchiveMessage& message = messages[ordinal];
  message.runPosition = ++runCount_;
  runReadings_[NumberKey(section, record.MsgNo)].push_back({message.runPosition, ordinal});
  return ordinal;
}

std::string ArchiveModel::Identifier(std::uint32_t ordinal) const {
  const ArchiveMessage& message = messages[ordinal];
  const std::string plain = PlainIdentifier(message.Record(sections[message.section].folderName));
  if (message.stem() == NumberStem(message.field(ArchiveMessage::Number))) return plain;
  std::string digest;
  Fnv1a64::AppendHex(message.digest, digest);
  return WithDigest(plain, digest);
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
    const std::uint32_t at = message.runPosition;
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
  // Then the previous archive's message of that number written last: the
  // last it took in.
  if (const auto all = byNumber_.find(key); all != byNumber_.end()) {
    for (auto it = all->second.rbegin(); it != all->second.rend(); ++it) {
      if (*it != ordinal && messages[*it].inPreviousArchive) {
        candidates.push_back(*it);
        break;
      }
    }
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
