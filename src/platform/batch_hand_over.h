// Batches handed from one thread to another, in order, with a few at most
// waiting to be taken; the batches the taker is done with come back to the
// giver for their storage. The mbox's filler and the background writes of
// .eml files both work this way.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace tav {

template <class Batch>
class BatchHandOver {
 public:
  explicit BatchHandOver(std::size_t ahead) : ahead_(ahead) {}

  // The giver's: waits while `ahead` batches wait already, hands `batch`
  // over and puts a batch the taker returned in its place (a new one when
  // none came back yet), which the giver empties.
  void Give(Batch& batch) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return waiting_.size() < ahead_; });
    waiting_.push_back(std::move(batch));
    if (spare_.empty()) {
      batch = Batch();
    } else {
      batch = std::move(spare_.back());
      spare_.pop_back();
    }
    lock.unlock();
    given_.notify_one();
  }

  // The taker's: the next batch into `batch`; false once Close was called
  // and every batch given was taken.
  bool Take(Batch& batch) {
    std::unique_lock lock(mutex_);
    given_.wait(lock, [this] { return !waiting_.empty() || closed_; });
    if (waiting_.empty()) return false;
    batch = std::move(waiting_.front());
    waiting_.pop_front();
    ++held_;
    lock.unlock();
    room_.notify_all();
    return true;
  }

  // The taker's: a batch it is done with.
  void Return(Batch batch) {
    {
      const std::lock_guard lock(mutex_);
      spare_.push_back(std::move(batch));
      --held_;
    }
    room_.notify_all();
  }

  // The giver's: waits until every batch given was taken and returned.
  void WaitIdle() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return waiting_.empty() && held_ == 0; });
  }

  // No more batches: Take returns false once the waiting ones are taken.
  void Close() {
    {
      const std::lock_guard lock(mutex_);
      closed_ = true;
    }
    given_.notify_one();
  }

 private:
  const std::size_t ahead_;
  std::mutex mutex_;
  std::condition_variable given_, room_;
  std::deque<Batch> waiting_;  // given, not yet taken, in order
  std::vector<Batch> spare_;   // returned, for their storage
  std::size_t held_ = 0;       // taken, not yet returned
  bool closed_ = false;
};

}  // namespace tav
