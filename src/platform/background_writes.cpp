#include "platform/background_writes.h"

#include <exception>
#include <utility>

namespace tav {

namespace {

// Files handed to the thread at a time: enough to make the hand-over rare,
// few enough that the thread starts soon after the first message.
constexpr std::size_t kBatchFiles = 32;
// Batches handed over and not yet taken. The thread's part is the larger,
// so the caller waits here and the memory of what is pending stays small.
constexpr std::size_t kBatchesAhead = 4;

}  // namespace

BackgroundWrites::BackgroundWrites(FileSystem& files)
    : files_(files), handOver_(kBatchesAhead) {}

BackgroundWrites::~BackgroundWrites() {
  if (filling_.count > 0) Submit();
  handOver_.Close();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWrites::Queue(std::filesystem::path path, std::string& bytes) {
  if (filling_.count == filling_.writes.size()) filling_.writes.emplace_back();
  Write& write = filling_.writes[filling_.count++];
  write.path = std::move(path);
  write.bytes.swap(bytes);
  bytes.clear();
  if (filling_.count >= kBatchFiles) Submit();
}

bool BackgroundWrites::Failed() {
  return failed_.load(std::memory_order_acquire);
}

void BackgroundWrites::Submit() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  handOver_.Give(filling_);
}

BackgroundWrites::Outcome BackgroundWrites::Wait() {
  if (filling_.count > 0) Submit();
  handOver_.WaitIdle();
  const std::lock_guard lock(mutex_);
  failed_.store(false, std::memory_order_release);
  return std::exchange(outcome_, Outcome());
}

void BackgroundWrites::Run() {
  Batch batch;
  while (handOver_.Take(batch)) {
    bool failed = failed_.load(std::memory_order_acquire);
    std::size_t notWritten = 0;
    IoResult failure;
    std::filesystem::path failedFile;
    for (std::size_t index = 0; index < batch.count; ++index) {
      Write& write = batch.writes[index];
      if (!failed) {
        try {
          failure = files_.WriteWholeFile(write.path, write.bytes);
        } catch (const std::exception& error) {
          failure = IoResult::Failure(error.what());
        }
        if (!failure.ok) {
          failed = true;
          failedFile = write.path;
        }
      }
      if (failed) ++notWritten;
      write.bytes.clear();
    }
    {
      const std::lock_guard lock(mutex_);
      if (!failure.ok && outcome_.result.ok) {
        outcome_.result = std::move(failure);
        outcome_.file = std::move(failedFile);
        failed_.store(true, std::memory_order_release);
      }
      outcome_.notWritten += notWritten;
    }
    batch.count = 0;
    handOver_.Return(std::move(batch));
  }
}

}  // namespace tav
