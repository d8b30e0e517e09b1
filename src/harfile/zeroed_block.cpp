#include "harfile/zeroed_block.h"

#include <sys/mman.h>

namespace yl {

namespace {

// Whole huge pages: the system places mappings of such sizes on huge-page boundaries.
std::size_t MappedSize(std::size_t bytes) {
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  return (bytes + kHuge - 1) / kHuge * kHuge;
}

}  // namespace

void* AllocateZeroedBlock(std::size_t bytes) {
  bytes = MappedSize(bytes);
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // Only advice: without it the block still works, page by page.
  (void)madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

void ReleaseZeroedBlock(void* block, std::size_t bytes) {
  if (block) munmap(block, MappedSize(bytes));
}

}  // namespace yl
