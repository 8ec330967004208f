// Beeps heard one after another. A new system sound cuts off the one still
// playing, so beeps asked for in a row would sound as one: here each is
// played to its end and a short pause parts it from the next, on a thread of
// their own, so that asking for a beep returns at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tav {

class SpacedBeeps {
 public:
  // `play` sounds one beep and returns once it has been heard.
  SpacedBeeps(std::function<void()> play, std::chrono::milliseconds pause)
      : play_(std::move(play)), pause_(pause) {}
  // Waits for the beep being played; those not begun yet are dropped.
  ~SpacedBeeps();
  SpacedBeeps(const SpacedBeeps&) = delete;
  SpacedBeeps& operator=(const SpacedBeeps&) = delete;

  // Queues one beep and returns.
  void Beep();

 private:
  void PlayQueued();

  std::function<void()> play_;
  std::chrono::milliseconds pause_;
  std::mutex mutex_;
  std::condition_variable wake_;
  int queued_ = 0;
  bool stopping_ = false;
  std::thread player_;  // started by the first beep
};

}  // namespace tav
