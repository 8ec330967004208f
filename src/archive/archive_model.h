// The messages of an archive: those it held before the run and those read
// in it, each once, with its file stem, where its body is kept, and its
// parent.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/message_record.h"

namespace tav {

inline constexpr std::int32_t kNoMessage = -1;

struct ArchiveMessage {
  enum Field { Number, SenderId, SenderName, Subject, Date, Time, RefNo, kFields };

  std::uint32_t section = 0;
  // The fields as the log gives them (code page 932), one after another;
  // ends[f] is where field f ends.
  std::string raw;
  std::array<std::uint32_t, kFields> ends{};
  std::uint64_t digest = 0;
  std::string stem;
  // The body as the archive shows it, in the body store.
  std::uint64_t bodyOffset = 0;
  std::uint32_t bodyLength = 0;
  // When it was last read, counted over every run of the archive.
  std::uint64_t lastRead = 0;
  // Its last reading in this run (1 = the run's first reading); 0: not read in it.
  std::uint64_t runPosition = 0;
  std::int32_t parent = kNoMessage;
  bool inPreviousArchive = false;

  std::string_view field(Field f) const {
    const std::uint32_t begin = f == 0 ? 0 : ends[f - 1];
    return std::string_view(raw).substr(begin, ends[f] - begin);
  }
  // The message as a record (without body) of the folder `folderName`.
  MessageRecord Record(std::string_view folderName) const;
  // Its date and time when both are valid.
  std::optional<std::chrono::sys_seconds> When() const;
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
  std::vector<ArchiveMessage> messages;  // in the order they came into the archive
  std::uint64_t readings = 0;            // readings counted over every run

  // The section of a folder name, made when it is new.
  std::uint32_t SectionOf(std::string_view folderName);

  // Adds a message the previous archive held (its fields, stem, parent,
  // lastRead and section set).
  void AddPrevious(ArchiveMessage message);

  // A reading of this run: the message it is, added when it is new (then
  // `added` is set). Its stem is the number's, or the number's with the
  // digest when another message has that one.
  std::uint32_t Read(const MessageRecord& record, bool& added);

  // The message of section `section` with stem `stem`, or kNoMessage.
  std::int32_t Find(std::uint32_t section, std::string_view stem) const;

  // Gives every message that needs one its parent, by the reply rules.
  void ResolveParents();

 private:
  struct Reading {
    std::uint64_t position;
    std::uint32_t message;
  };
  static std::string NumberKey(std::uint32_t section, std::string_view number);
  bool WouldCircle(std::uint32_t message, std::uint32_t parent) const;
  std::int32_t ParentFor(std::uint32_t message) const;
  void Index(std::uint32_t ordinal);

  std::unordered_multimap<std::uint64_t, std::uint32_t> byDigest_;
  // Per section and number: every message, and this run's readings in order.
  std::unordered_map<std::string, std::vector<std::uint32_t>> byNumber_;
  std::unordered_map<std::string, std::vector<Reading>> runReadings_;
  std::unordered_map<std::string, std::uint32_t> stems_;  // section tag + "/" + stem
  std::uint64_t runCount_ = 0;
};

}  // namespace tav
