#include "archive/archive_threads.h"

#include <algorithm>

#include "archive/display_text.h"

namespace tav {

namespace {

using Field = ArchiveMessage::Field;

// By number as bytes, then in the archive's order.
bool ByNumber(const ArchiveModel& model, std::uint32_t a, std::uint32_t b) {
  const std::string_view na = model.messages[a].field(Field::Number);
  const std::string_view nb = model.messages[b].field(Field::Number);
  return na != nb ? na < nb : a < b;
}

}  // namespace

ArchiveThreads::ArchiveThreads(const ArchiveModel& model) {
  const auto count = static_cast<std::uint32_t>(model.messages.size());
  root_.assign(count, kNoMessage);
  threadPrevious_.assign(count, kNoMessage);
  threadNext_.assign(count, kNoMessage);
  numberPrevious_.assign(count, kNoMessage);
  numberNext_.assign(count, kNoMessage);
  depth_.assign(count, 0);

  // Replies, gathered per parent and ordered by number.
  childStart_.assign(count + 1, 0);
  for (const ArchiveMessage& message : model.messages) {
    if (message.parent != kNoMessage) ++childStart_[static_cast<std::uint32_t>(message.parent) + 1];
  }
  for (std::uint32_t i = 0; i < count; ++i) childStart_[i + 1] += childStart_[i];
  children_.resize(childStart_[count]);
  std::vector<std::uint32_t> fill(childStart_.begin(), childStart_.end() - 1);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t parent = model.messages[i].parent;
    if (parent != kNoMessage) children_[fill[static_cast<std::uint32_t>(parent)]++] = i;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    std::sort(children_.begin() + childStart_[i], children_.begin() + childStart_[i + 1],
              [&model](std::uint32_t a, std::uint32_t b) { return ByNumber(model, a, b); });
  }

  const std::size_t sections = model.sections.size();
  threads.resize(sections);
  byNumber.resize(sections);
  byDate.resize(sections);
  bySender.resize(sections);
  std::vector<std::optional<std::chrono::sys_seconds>> times(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    times[i] = model.messages[i].When();
    const std::uint32_t section = model.messages[i].section;
    byNumber[section].push_back(i);
    if (model.messages[i].parent == kNoMessage) threads[section].push_back({i, 0, {}});
  }

  // Each thread depth first, without recursion: a chain of replies can be long.
  std::vector<std::uint32_t> stack;
  for (std::vector<ThreadSummary>& list : threads) {
    for (ThreadSummary& thread : list) {
      std::int32_t previous = kNoMessage;
      stack.assign(1, thread.root);
      while (!stack.empty()) {
        const std::uint32_t at = stack.back();
        stack.pop_back();
        root_[at] = static_cast<std::int32_t>(thread.root);
        const std::int32_t parent = model.messages[at].parent;
        depth_[at] = parent == kNoMessage ? 0 : depth_[static_cast<std::uint32_t>(parent)] + 1;
        threadPrevious_[at] = previous;
        if (previous != kNoMessage)
          threadNext_[static_cast<std::uint32_t>(previous)] = static_cast<std::int32_t>(at);
        previous = static_cast<std::int32_t>(at);
        ++thread.messages;
        if (times[at] && (!thread.latest || *times[at] > *thread.latest)) thread.latest = times[at];
        for (std::uint32_t c = childStart_[at + 1]; c-- > childStart_[at];)
          stack.push_back(children_[c]);
      }
    }
    std::stable_sort(list.begin(), list.end(), [](const ThreadSummary& a, const ThreadSummary& b) {
      if (a.latest.has_value() != b.latest.has_value()) return a.latest.has_value();
      if (a.latest && *a.latest != *b.latest) return *a.latest > *b.latest;
      return a.root < b.root;
    });
  }

  for (std::size_t s = 0; s < sections; ++s) {
    std::vector<std::uint32_t>& numbered = byNumber[s];
    std::sort(numbered.begin(), numbered.end(),
              [&model](std::uint32_t a, std::uint32_t b) { return ByNumber(model, a, b); });
    for (std::size_t k = 0; k < numbered.size(); ++k) {
      if (k > 0) numberPrevious_[numbered[k]] = static_cast<std::int32_t>(numbered[k - 1]);
      if (k + 1 < numbered.size())
        numberNext_[numbered[k]] = static_cast<std::int32_t>(numbered[k + 1]);
    }
    byDate[s] = numbered;
    std::stable_sort(byDate[s].begin(), byDate[s].end(),
                     [&times](std::uint32_t a, std::uint32_t b) {
                       if (times[a].has_value() != times[b].has_value())
                         return times[a].has_value();
                       return times[a] && *times[a] < *times[b];
                     });
    bySender[s] = byDate[s];
    std::stable_sort(
        bySender[s].begin(), bySender[s].end(), [&model](std::uint32_t a, std::uint32_t b) {
          const ArchiveMessage& ma = model.messages[a];
          const ArchiveMessage& mb = model.messages[b];
          const std::string_view na = TrimBlanks(ma.field(Field::SenderName));
          const std::string_view nb = TrimBlanks(mb.field(Field::SenderName));
          if (na != nb) return na < nb;
          return TrimBlanks(ma.field(Field::SenderId)) < TrimBlanks(mb.field(Field::SenderId));
        });
  }
}

std::vector<std::uint32_t> ArchiveThreads::ThreadOf(std::uint32_t root) const {
  std::vector<std::uint32_t> members;
  for (std::int32_t at = static_cast<std::int32_t>(root); at != kNoMessage;
       at = threadNext_[static_cast<std::uint32_t>(at)]) {
    members.push_back(static_cast<std::uint32_t>(at));
  }
  return members;
}

}  // namespace tav
