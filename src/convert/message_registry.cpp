#include "convert/message_registry.h"

#include <algorithm>

#include "mail/message_identity.h"

namespace tav {

MessageRegistry::Slot& MessageRegistry::SlotOf(const std::string& key) {
  Slot& slot = slots_[key];
  if (!slot.heldRead) {
    slot.heldRead = true;
    if (store_ != nullptr) slot.held = store_->Held(key);
  }
  return slot;
}

PlacedMessage MessageRegistry::Place(const MessageRecord& record) {
  PlacedMessage placed;
  placed.sequence = ++sequence_;
  placed.digest = MessageDigest(record);
  const std::string key = PlainIdentifier(record);
  const std::string keyed = WithDigest(key, placed.digest);

  // The parent first: the message's own slot may be the parent's, and a
  // message is never its own parent.
  placed.parentKey = ParentKey(record);
  if (!placed.parentKey.empty()) {
    const Slot& parents = SlotOf(placed.parentKey);
    if (!parents.run.empty()) {
      const RunMessage& last = parents.run.back();
      placed.parent = last.plain ? placed.parentKey : WithDigest(placed.parentKey, last.digest);
    } else {
      placed.parent = parents.held.empty() ? std::string() : parents.held.back();
      placed.parentSettled = false;
    }
  }

  Slot& slot = SlotOf(key);
  const auto same = std::find_if(slot.run.rbegin(), slot.run.rend(),
                                 [&](const RunMessage& m) { return m.digest == placed.digest; });
  bool plain;
  if (same != slot.run.rend()) {
    placed.readBefore = true;
    placed.earlierSequence = same->sequence;
    plain = same->plain;
  } else if (std::find(slot.held.begin(), slot.held.end(), keyed) != slot.held.end()) {
    plain = false;
  } else if (std::find(slot.held.begin(), slot.held.end(), key) != slot.held.end()) {
    plain = store_->IsSame(key, record, placed.digest);
  } else {
    plain = std::none_of(slot.run.begin(), slot.run.end(), [](const RunMessage& m) { return m.plain; });
  }
  placed.identifier = plain ? key : keyed;
  slot.run.push_back({placed.sequence, placed.digest, plain});
  return placed;
}

std::string MessageRegistry::FinalParent(const PlacedMessage& message) const {
  if (message.parentSettled) return message.parent;
  const auto slot = slots_.find(message.parentKey);
  if (slot == slots_.end()) return message.parent;
  for (const RunMessage& later : slot->second.run) {
    if (later.sequence > message.sequence) {
      return later.plain ? message.parentKey : WithDigest(message.parentKey, later.digest);
    }
  }
  return message.parent;
}

}  // namespace tav
