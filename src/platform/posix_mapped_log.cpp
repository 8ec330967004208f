#include "platform/posix_mapped_log.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <string>

namespace tav {

namespace {

// The one mapped log, for the signal handler.
std::atomic<char*> gBegin{nullptr};
std::atomic<std::size_t> gLength{0};
std::size_t gPageSize = 0;
volatile std::sig_atomic_t gDamaged = 0;
struct sigaction gPrevious {};

void OnSigbus(int, siginfo_t* info, void*) {
  char* const begin = gBegin.load();
  char* const address = static_cast<char*>(info->si_addr);
  if (begin != nullptr && address >= begin && address < begin + gLength.load()) {
    char* const page = begin + static_cast<std::size_t>(address - begin) / gPageSize * gPageSize;
    if (::mmap(page, gPageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED,
               -1, 0) != MAP_FAILED) {
      gDamaged = 1;
      return;  // the access is made again, on the page of zeros
    }
  }
  // Not the log's: the fault repeats under the handling from before.
  ::sigaction(SIGBUS, &gPrevious, nullptr);
}

}  // namespace

std::unique_ptr<MappedLog> MappedLog::Map(int fd, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  char* expected = nullptr;
  if (gBegin.load() != nullptr) return nullptr;  // one at a time
  void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) return nullptr;
  // Copies every page now; a file already cut short makes this fail.
  if (::madvise(address, size, MADV_POPULATE_WRITE) != 0) {
    ::munmap(address, size);
    return nullptr;
  }
  gPageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  gDamaged = 0;
  gLength.store(size);
  if (!gBegin.compare_exchange_strong(expected, static_cast<char*>(address))) {
    ::munmap(address, size);
    return nullptr;
  }
  struct sigaction action {};
  action.sa_sigaction = OnSigbus;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, &gPrevious);
  return std::unique_ptr<MappedLog>(new MappedLog(static_cast<char*>(address), size));
#else
  (void)fd;
  (void)size;
  return nullptr;
#endif
}

MappedLog::~MappedLog() {
  ::sigaction(SIGBUS, &gPrevious, nullptr);
  gBegin.store(nullptr);
  gLength.store(0);
  ::munmap(data_, size_);
}

bool MappedLog::Intact(std::string& reason) const {
  if (gDamaged == 0) return true;
  reason = "the log was cut short while it was converted";
  return false;
}

}  // namespace tav
