// Memory for the big arrays of a cross-reference table. On Linux a block of
// 2 MiB or more is aligned to and marked for transparent huge pages, so that
// a table of a million entries costs a few page faults instead of one per
// 4 KiB page, which on a virtual machine outweigh reading the entries.
#pragma once

#include <cstddef>
#include <new>

namespace pagewire::pdf {

void* AllocateLargeBlock(std::size_t bytes);  // throws std::bad_alloc
void FreeLargeBlock(void* block, std::size_t bytes);

template <typename T>
struct LargeBlockAllocator {
  using value_type = T;

  LargeBlockAllocator() = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLargeBlock(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) { FreeLargeBlock(block, count * sizeof(T)); }

  template <typename U>
  bool operator==(const LargeBlockAllocator<U>&) const {
    return true;
  }
};

}  // namespace pagewire::pdf
