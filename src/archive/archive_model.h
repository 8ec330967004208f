// The messages of an archive: those it held before the run and those read
// in it, each once, with its file stem, where its body is kept, and its
// parent.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/ordinal_table.h"
#include "mail/message_record.h"

namespace tav {

inline constexpr std::int32_t kNoMessage = -1;

// Kept for every message of a large archive, so kept small: the texts
// live in the model's arena.
struct ArchiveMessage {
  enum Field { Number, SenderId, SenderName, Subject, Date, Time, RefNo, DateText, kFields };

  // The fields as the log gives them (code page 932), then the stem, one
  // after another; ends[f] is where field f ends.
  const char* texts = nullptr;
  std::array<std::uint32_t, kFields + 1> ends{};
  std::uint64_t digest = 0;
  // The body as the archive shows it, in the body store.
  std::uint64_t bodyOffset = 0;
  std::uint32_t bodyLength = 0;
  std::uint32_t section = 0;
  // Its last reading in this run (1 = the run's first reading); 0: not read in it.
  std::uint32_t runPosition = 0;
  std::int32_t parent = kNoMessage;
  bool inPreviousArchive = false;

  std::string_view field(Field f) const { return part(f); }
  // The name of its files: the number's stem, or that with the digest.
  std::string_view stem() const { return part(kFields); }
  // The fields and the stem as they are stored.
  std::string_view stored() const { return {texts, ends[kFields]}; }
  // The message as a record (without body) of the folder `folderName`.
  MessageRecord Record(std::string_view folderName) const;
  // Its date and time when both are valid.
  std::optional<std::chrono::sys_seconds> When() const;

 private:
  std::string_view part(int f) const {
    const std::uint32_t begin = f == 0 ? 0 : ends[f - 1];
    return {texts + begin, ends[f] - begin};
  }
};

struct ArchiveSection {
  std::string folderName;  // UTF-8
  std::string tag;
  // The stem of every thread page the archive has had.
  std::vector<std::string> threadStems;
};

class ArchiveModel {
 public:
  std::vector<ArchiveSection> sections;
  // In the order they came into the archive; a deque grows without the
  // spare room of a vector.
  std::deque<ArchiveMessage> messages;

  // The section of a folder name, made when it is new.
  std::uint32_t SectionOf(std::string_view folderName);

  // Adds a message the previous archive held: `stored` is its fields and
  // stem as ArchiveMessage::stored() gives them, `ends` theirs.
  void AddPrevious(std::uint32_t section, std::string_view stored,
                   const std::array<std::uint32_t, ArchiveMessage::kFields + 1>& ends,
                   std::int32_t parent);

  // A reading of this run: the message it is, added when it is new (then
  // `added` is set). Its stem is the number's, or the number's with the
  // digest when another message has that one.
  std::uint32_t Read(const MessageRecord& record, bool& added);

  // The message of section `section` with stem `stem`, or kNoMessage.
  std::int32_t Find(std::uint32_t section, std::string_view stem) const;

  // Gives every message that needs one its parent, by the reply rules.
  void ResolveParents();
  // The parent of `message` by what has been read so far (its .eml is
  // written before the run is over).
  std::int32_t ParentSoFar(std::uint32_t message) const { return ParentFor(message); }
  // Its identifier in the standard mail form: the plain one for the first
  // message of its folder name and number, else the one with its digest.
  std::string Identifier(std::uint32_t message) const;

 private:
  struct Reading {
    std::uint32_t position;
    std::uint32_t message;
  };
  static std::string NumberKey(std::uint32_t section, std::string_view number);
  static std::uint64_t StemKey(std::uint32_t section, std::string_view stem);
  const char* Keep(std::string_view text);
  bool WouldCircle(std::uint32_t message, std::uint32_t parent) const;
  std::int32_t ParentFor(std::uint32_t message) const;
  void Index(std::uint32_t ordinal);

  OrdinalTable byDigest_;
  // Per section and number: every message, and this run's readings in order.
  std::unordered_map<std::string, std::vector<std::uint32_t>> byNumber_;
  std::unordered_map<std::string, std::vector<Reading>> runReadings_;
  OrdinalTable byStem_;            // by StemKey
  std::deque<std::string> arena_;  // blocks of texts that never move
  std::uint32_t runCount_ = 0;
};

}  // namespace tav
