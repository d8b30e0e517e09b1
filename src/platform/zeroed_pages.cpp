#include "platform/zeroed_pages.h"

#include <sys/mman.h>

namespace yl {

void* MapZeroedPages(std::size_t bytes, bool huge_pages) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // Only advice: without it the block still works, page by page.
  if (huge_pages) (void)::madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

void UnmapPages(void* block, std::size_t bytes) {
  if (block) ::munmap(block, bytes);
}

}  // namespace yl
