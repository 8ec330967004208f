// Whole files written in order by a second thread while the caller goes on
// preparing the next ones. A run of the default output creates tens of
// thousands of small files, and creating them is most of its time: the
// system's work then overlaps with the conversion's own.
//
// While writes are pending, the caller may use the file system only for
// files that are not among them (reading a file the run has not written,
// asking whether one exists): every implementation allows that from two
// threads. Everything else waits for Wait().
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/batch_hand_over.h"
#include "platform/file_system.h"

namespace tav {

class BackgroundWrites {
 public:
  // How the writes queued since the last Wait went.
  struct Outcome {
    IoResult result;               // the first failure, or success
    std::filesystem::path file;    // the file that failed
    std::size_t notWritten = 0;    // writes not made: the failed one and those after it
  };

  explicit BackgroundWrites(FileSystem& files);
  // Writes what is queued, then ends the thread.
  ~BackgroundWrites();
  BackgroundWrites(const BackgroundWrites&) = delete;
  BackgroundWrites& operator=(const BackgroundWrites&) = delete;

  // Queues `bytes` to become the file `path` (FileSystem::WriteWholeFile).
  // `bytes` is taken; it comes back empty, with storage of an earlier write
  // where there is some. After a failure nothing more is written until Wait.
  void Queue(std::filesystem::path path, std::string& bytes);
  // True once a queued write has failed (Wait tells which).
  bool Failed();
  // Waits until every queued write is made or dropped; how they went. The
  // next write starts afresh.
  Outcome Wait();

 private:
  struct Write {
    std::filesystem::path path;
    std::string bytes;
  };
  // The first `count` writes count; the others keep their storage for later.
  struct Batch {
    std::vector<Write> writes;
    std::size_t count = 0;
  };

  void Submit();
  void Run();

  FileSystem& files_;
  Batch filling_;  // the caller's
  BatchHandOver<Batch> handOver_;

  std::mutex mutex_;
  Outcome outcome_;                   // the thread's, under mutex_
  std::atomic<bool> failed_ = false;  // outcome_ holds a failure

  std::thread thread_;  // started by the first Submit
};

}  // namespace tav
