#include "convert/message_registry.h"

#include <algorithm>

#include "mail/fnv_hash.h"
#include "mail/mail_domain.h"
#include "mail/mail_identifiers.h"
#include "mail/message_identity.h"

namespace tav {

namespace {

// `plain` with the digest `digest` put in.
void AppendKeyed(std::string_view plain, std::uint64_t digest, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  char hex[16];
  for (std::size_t k = 16; k-- > 0; digest >>= 4) hex[k] = kHex[digest & 15];
  AppendWithDigest(plain, {hex, 16}, out);
}

// Every identifier ends in "@" and the mail domain: the map's key goes
// without them, and so most keys are short enough for the string to keep
// them in the map's node itself, which saves a wait on memory for each key
// compared.
std::string_view WithoutDomain(std::string_view identifier) {
  const std::size_t domain = kMailDomain.size() + 1;
  return identifier.substr(0, identifier.size() - std::min(identifier.size(), domain));
}

}  // namespace

MessageRegistry::Slot& MessageRegistry::SlotOf(const std::string& key) {
  mapKey_.assign(WithoutDomain(key));
  Slot& slot = slots_[mapKey_];
  if (!slot.heldRead) {
    slot.heldRead = true;
    if (store_ != nullptr) slot.held = store_->Held(key);
  }
  return slot;
}

const PlacedMessage& MessageRegistry::Place(const MessageRecord& record) {
  // The strings of the last message placed are filled anew: a run places
  // tens of thousands of messages.
  PlacedMessage& placed = placed_;
  placed.sequence = ++sequence_;
  placed.parentSettled = true;
  placed.readBefore = false;
  placed.earlierSequence = 0;
  const std::uint64_t digest = MessageDigestValue(record);
  placed.digest.clear();
  Fnv1a64::AppendHex(digest, placed.digest);
  key_.clear();
  AppendMessageIdentifier(record.MsgNo, record.FolderName, key_);

  // The parent first: the message's own slot may be the parent's, and a
  // message is never its own parent.
  placed.parentKey.clear();
  placed.parent.clear();
  if (!record.RefNo.empty()) {
    AppendMessageIdentifier(record.RefNo, record.FolderName, placed.parentKey);
    const Slot& parents = SlotOf(placed.parentKey);
    if (!parents.run.empty()) {
      const RunMessage& last = parents.run.back();
      if (last.plain) {
        placed.parent = placed.parentKey;
      } else {
        AppendKeyed(placed.parentKey, last.digest, placed.parent);
      }
    } else {
      if (!parents.held.empty()) placed.parent = parents.held.back();
      placed.parentSettled = false;
    }
  }

  Slot& slot = SlotOf(key_);
  keyed_.clear();
  if (!slot.held.empty()) AppendWithDigest(key_, placed.digest, keyed_);
  const auto same = std::find_if(slot.run.rbegin(), slot.run.rend(),
                                 [&](const RunMessage& m) { return m.digest == digest; });
  bool plain;
  if (same != slot.run.rend()) {
    placed.readBefore = true;
    placed.earlierSequence = same->sequence;
    plain = same->plain;
  } else if (std::find(slot.held.begin(), slot.held.end(), keyed_) != slot.held.end()) {
    plain = false;
  } else if (std::find(slot.held.begin(), slot.held.end(), key_) != slot.held.end()) {
    plain = store_->IsSame(key_, record, placed.digest);
  } else {
    plain = std::none_of(slot.run.begin(), slot.run.end(), [](const RunMessage& m) { return m.plain; });
  }
  if (plain) {
    placed.identifier = key_;
  } else {
    if (keyed_.empty()) AppendWithDigest(key_, placed.digest, keyed_);
    placed.identifier = keyed_;
  }
  slot.run.push_back({placed.sequence, digest, plain});
  return placed;
}

std::string MessageRegistry::FinalParent(const PlacedMessage& message) const {
  if (message.parentSettled) return message.parent;
  const auto slot = slots_.find(std::string(WithoutDomain(message.parentKey)));
  if (slot == slots_.end()) return message.parent;
  for (const RunMessage& later : slot->second.run) {
    if (later.sequence > message.sequence) {
      if (later.plain) return message.parentKey;
      std::string parent;
      AppendKeyed(message.parentKey, later.digest, parent);
      return parent;
    }
  }
  return message.parent;
}

}  // namespace tav
