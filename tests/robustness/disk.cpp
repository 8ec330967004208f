#include "disk.h"

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace tav::test {

SmallDisk::SmallDisk(const std::filesystem::path& at, std::size_t kib)
    : path_(at), options_("size=" + std::to_string(kib) + "k") {
  std::filesystem::create_directories(path_);
  if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options_.c_str()) == 0) {
    mounted_ = true;
  } else {
    why_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
  }
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
}

bool SmallDisk::MakeReadOnly() {
  return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
}

void SmallDisk::Fill(std::size_t leaveKib) {
  struct statvfs info {};
  if (::statvfs(path_.c_str(), &info) != 0) return;
  const std::size_t free = info.f_bavail * info.f_frsize;
  const std::size_t leave = leaveKib * 1024;
  if (free <= leave) return;
  std::ofstream filler(path_ / "filler", std::ios::binary);
  const std::string block(free - leave, 'f');
  filler.write(block.data(), static_cast<std::streamsize>(block.size()));
}

std::size_t PeakMemory() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
}

}  // namespace tav::test
