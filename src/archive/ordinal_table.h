// Messages found by a 64-bit key without keeping the key: an open-addressing
// table of message ordinals whose keys are computed again from the messages
// when the table grows. Four bytes a slot, where a hash map's node would
// take forty.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tav {

class OrdinalTable {
 public:
  // Adds `ordinal` under `key`; keyOf(ordinal) gives any added ordinal's key.
  template <typename KeyOf>
  void Insert(std::uint32_t ordinal, std::uint64_t key, KeyOf keyOf) {
    if (2 * (count_ + 1) > slots_.size()) {
      std::vector<std::uint32_t> old(std::max<std::size_t>(16, 2 * slots_.size()), 0);
      old.swap(slots_);
      for (const std::uint32_t slot : old) {
        if (slot != 0) Place(slot, keyOf(slot - 1));
      }
    }
    Place(ordinal + 1, key);
    ++count_;
  }

  // Calls visit(ordinal) for every ordinal that may have been added under
  // `key` (and a few others: the caller compares).
  template <typename Visit>
  void ForEach(std::uint64_t key, Visit visit) const {
    if (slots_.empty()) return;
    for (std::size_t at = Start(key); slots_[at] != 0; at = (at + 1) & (slots_.size() - 1)) {
      visit(slots_[at] - 1);
    }
  }

 private:
  std::size_t Start(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 32) & (slots_.size() - 1);
  }
  void Place(std::uint32_t slot, std::uint64_t key) {
    std::size_t at = Start(key);
    while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
    slots_[at] = slot;
  }

  std::vector<std::uint32_t> slots_;  // ordinal + 1; 0: empty
  std::size_t count_ = 0;
};

}  // namespace tav
