// A log mapped into memory privately, its pages copied at once, for the
// conversion to read and rewrite in place (POSIX systems).
#pragma once

#include <cstddef>
#include <memory>

#include "platform/file_bytes.h"

namespace tav {

// Mapping a file and having the kernel copy every page in one call costs
// about half of reading it into fresh memory, which the kernel must clear
// first. But a file cut short by another program takes the pages beyond
// its new end away even from a private mapping, and touching them would
// stop the program with SIGBUS. So while a mapped log lives, a SIGBUS
// handler puts a page of zeros in place of each page taken and marks the
// log as no longer intact; the conversion checks that before it writes.
// One log is mapped at a time in a process.
class MappedLog : public FileBytes::Region {
 public:
  // Maps `size` bytes (at least 1) of the regular file open at `fd`;
  // nullptr when the system cannot (the caller then reads the file).
  static std::unique_ptr<MappedLog> Map(int fd, std::size_t size);
  ~MappedLog() override;
  MappedLog(const MappedLog&) = delete;
  MappedLog& operator=(const MappedLog&) = delete;

  char* data() override { return data_; }
  std::size_t size() const override { return size_; }
  bool Intact(std::string& reason) const override;

 private:
  MappedLog(char* data, std::size_t size) : data_(data), size_(size) {}

  char* data_;
  std::size_t size_;
};

}  // namespace tav
