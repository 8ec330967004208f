// Real faults for the robustness tests: a small file system that fills up or
// turns read-only (root can write to any file, so permission bits alone make
// nothing unwritable there), and the process's peak memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tav::test {

// A tmpfs of a few hundred KiB mounted on a new folder, unmounted when the
// object goes. Mounting needs root (or the capability); `mounted()` says
// whether it worked and `why()` why not, so a test can skip.
class SmallDisk {
 public:
  SmallDisk(const std::filesystem::path& at, std::size_t kib);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }
  const std::filesystem::path& path() const { return path_; }

  // Makes the file system read-only: every change fails, also for root.
  bool MakeReadOnly();
  // Fills the free space with a file, leaving about `leaveKib` free.
  void Fill(std::size_t leaveKib);

 private:
  std::filesystem::path path_;
  std::string options_;
  bool mounted_ = false;
  std::string why_;
};

// The process's peak resident memory so far, in bytes.
std::size_t PeakMemory();

// True in a build with AddressSanitizer, which is slower and uses more memory.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

}  // namespace tav::test
