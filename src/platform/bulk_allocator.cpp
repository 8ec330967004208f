#include "platform/bulk_allocator.h"

#include <cstdint>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace tav {

void AdviseHugePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  const auto address = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (address + kHugePageSize - 1) & ~(kHugePageSize - 1);
  const std::uintptr_t end = (address + size) & ~(kHugePageSize - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void PrefaultPages(void* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  constexpr std::uintptr_t kPage = 4096;
  const auto address = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (address + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t end = (address + size) & ~(kPage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace tav
