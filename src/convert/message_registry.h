// The identifiers and the parents of messages in the standard mail forms,
// over one run and the store it writes into (a Maildir, a folder of .eml
// files), by the rules of mail/message_identity.h:
//
// - the same message read again keeps its identifier; the first message of
//   a folder name and number keeps the plain identifier, any other one gets
//   the identifier with its digest;
// - a reply names the last message of its parent's folder name and number
//   read before it in the run; otherwise the first one read after it in the
//   run; otherwise the one the store holds (the one written there last);
//   otherwise none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mail/message_record.h"

namespace tav {

// What a store held before the run.
class HeldMessages {
 public:
  virtual ~HeldMessages() = default;
  // The identifiers of the messages held under `key` (a plain identifier),
  // the one written last at the end.
  virtual std::vector<std::string> Held(const std::string& key) = 0;
  // Whether the held message `identifier` is the message `record` with
  // digest `digest`.
  virtual bool IsSame(const std::string& identifier, const MessageRecord& record,
                      std::string_view digest) = 0;
};

// Where one message of the run stands.
struct PlacedMessage {
  std::string digest;
  std::string identifier;
  std::string parentKey;  // the plain identifier of the message replied to; empty for none
  std::string parent;     // the identifier of the message replied to; empty for none
  // False while a message of the parent's key read later in the run may
  // still become the parent (FinalParent tells at the end).
  bool parentSettled = true;
  // The same message was read earlier in the run; this reading replaces it.
  bool readBefore = false;
  std::size_t earlierSequence = 0;  // the sequence of that latest earlier reading
  std::size_t sequence = 0;         // the message's place in the run, from 1
};

class MessageRegistry {
 public:
  explicit MessageRegistry(HeldMessages* store = nullptr) : store_(store) {}

  // Assigns the identifier and the parent of the next message of the run.
  // The result is valid until the next call.
  const PlacedMessage& Place(const MessageRecord& record);
  // The parent of a message placed with an unsettled parent, once every
  // message of the run is placed.
  std::string FinalParent(const PlacedMessage& message) const;

 private:
  struct RunMessage {
    std::size_t sequence;
    std::uint64_t digest;
    bool plain;  // holds the plain identifier
  };
  struct Slot {
    bool heldRead = false;
    std::vector<std::string> held;  // what the store held, the one written last at the end
    std::vector<RunMessage> run;    // in the order read
  };
  Slot& SlotOf(const std::string& key);

  HeldMessages* store_;
  // By plain identifier, without the mail domain.
  std::unordered_map<std::string, Slot> slots_;
  std::size_t sequence_ = 0;
  // The message placed last, and its two identifiers, kept for their storage.
  PlacedMessage placed_;
  std::string key_, keyed_;
  std::string mapKey_;  // SlotOf's key
};

}  // namespace tav
