// The threads of an archive: each message's replies, its thread's root and
// its neighbours in reading order (depth first, each reply after its
// parent, replies to one message by number), and its neighbours by number.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "archive/archive_model.h"

namespace tav {

struct ThreadSummary {
  std::uint32_t root = 0;
  std::uint32_t messages = 0;
  std::optional<std::chrono::sys_seconds> latest;  // the latest valid date in the thread
};

class ArchiveThreads {
 public:
  // `model` with its parents resolved.
  explicit ArchiveThreads(const ArchiveModel& model);

  std::int32_t Root(std::uint32_t message) const { return root_[message]; }
  std::uint32_t Depth(std::uint32_t message) const { return depth_[message]; }
  std::int32_t PreviousInThread(std::uint32_t m) const { return threadPrevious_[m]; }
  std::int32_t NextInThread(std::uint32_t m) const { return threadNext_[m]; }
  std::int32_t PreviousByNumber(std::uint32_t m) const { return numberPrevious_[m]; }
  std::int32_t NextByNumber(std::uint32_t m) const { return numberNext_[m]; }
  // The replies to `message`, by number.
  std::vector<std::uint32_t> Replies(std::uint32_t message) const {
    return {children_.begin() + childStart_[message], children_.begin() + childStart_[message + 1]};
  }
  // A thread's messages in reading order.
  std::vector<std::uint32_t> ThreadOf(std::uint32_t root) const;

  // Per section: the threads, latest activity first (undated threads last);
  // the messages by number, by date (oldest first, undated last) and by
  // sender (name, then ID, then date).
  std::vector<std::vector<ThreadSummary>> threads;
  std::vector<std::vector<std::uint32_t>> byNumber, byDate, bySender;

 private:
  std::vector<std::int32_t> root_, threadPrevious_, threadNext_, numberPrevious_, numberNext_;
  std::vector<std::uint32_t> depth_;
  std::vector<std::uint32_t> childStart_, children_;
};

}  // namespace tav
