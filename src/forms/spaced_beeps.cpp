#include "forms/spaced_beeps.h"

namespace tav {

SpacedBeeps::~SpacedBeeps() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (player_.joinable()) player_.join();
}

void SpacedBeeps::Beep() {
  {
    const std::lock_guard lock(mutex_);
    ++queued_;
    if (!player_.joinable()) player_ = std::thread(&SpacedBeeps::PlayQueued, this);
  }
  wake_.notify_all();
}

void SpacedBeeps::PlayQueued() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || queued_ > 0; });
    if (stopping_) return;
    --queued_;
    lock.unlock();
    play_();
    lock.lock();
    if (wake_.wait_for(lock, pause_, [this] { return stopping_; })) return;
  }
}

}  // namespace tav
