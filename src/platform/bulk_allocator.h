// An allocator for the arrays that hold a whole log: its bytes, and one
// entry per line. Blocks of 2 MB and more are aligned to 2 MB and offered to
// the system for transparent huge pages where it has them, so filling an
// array for a log of millions of lines costs a few page faults instead of
// thousands. Elsewhere it allocates as std::allocator does.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

namespace tav {

// Asks the system to back [data, data + size) with huge pages as far as
// whole huge pages fit in it; does nothing where the system has none.
void AdviseHugePages(void* data, std::size_t size);

// Asks the system to back [data, data + size) with memory now, in one
// call, rather than page by page as it is first written; does nothing where
// the system cannot.
void PrefaultPages(void* data, std::size_t size);

inline constexpr std::size_t kHugePageSize = std::size_t{1} << 21;
// Smaller blocks are allocated as usual: they could not hold a huge page.
inline constexpr std::size_t kBulkBlockSize = kHugePageSize;

template <typename T>
struct BulkAllocator {
  using value_type = T;

  BulkAllocator() = default;
  template <typename U>
  BulkAllocator(const BulkAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    void* data;
    if (bytes < kBulkBlockSize) {
      data = ::operator new(bytes);
    } else {
      data = ::operator new (bytes, std::align_val_t{kHugePageSize});
      AdviseHugePages(data, bytes);
    }
#ifdef TAV_POISON_NEW_MEMORY
    // The sanitizer builds fill new memory with a pattern, so that an entry
    // read before it was written shows.
    std::memset(data, 0xA5, bytes);
#endif
    return static_cast<T*>(data);
  }

  void deallocate(T* data, std::size_t n) noexcept {
    // Unsized deletes: not every compiler declares the sized ones by default.
    if (n * sizeof(T) < kBulkBlockSize) {
      ::operator delete(data);
    } else {
      ::operator delete (data, std::align_val_t{kHugePageSize});
    }
  }

  // Elements made without a value are left uninitialized, as a plain `new
  // T[n]` leaves them: a buffer about to be filled by a read is not cleared
  // first, which would cost a pass over a whole log.
  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const BulkAllocator&, const BulkAllocator&) { return true; }
};

}  // namespace tav
