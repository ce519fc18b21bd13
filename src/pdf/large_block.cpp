#include "pdf/large_block.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pagewire::pdf {
namespace {

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t HugePagesFor(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
#endif

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
#if defined(__linux__)
  if (bytes >= kHugePage && bytes <= static_cast<std::size_t>(-1) - kHugePage) {
    const std::size_t rounded = HugePagesFor(bytes);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block == nullptr) throw std::bad_alloc();
    // Advice only: without huge pages the block works as any other.
    madvise(block, rounded, MADV_HUGEPAGE);
    return block;
  }
#endif
  return ::operator new(bytes);
}

void FreeLargeBlock(void* block, std::size_t bytes) {
#if defined(__linux__)
  if (bytes >= kHugePage && bytes <= static_cast<std::size_t>(-1) - kHugePage) {
    std::free(block);
    return;
  }
#endif
  ::operator delete(block);
}

}  // namespace pagewire::pdf
