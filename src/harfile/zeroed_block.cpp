#include "harfile/zeroed_block.h"

#include "platform/zeroed_pages.h"

namespace yl {

namespace {

// Whole huge pages: the system places mappings of such sizes on huge-page boundaries.
std::size_t MappedSize(std::size_t bytes) {
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  return (bytes + kHuge - 1) / kHuge * kHuge;
}

}  // namespace

void* AllocateZeroedBlock(std::size_t bytes) { return MapZeroedPages(MappedSize(bytes), true); }

void ReleaseZeroedBlock(void* block, std::size_t bytes) { UnmapPages(block, MappedSize(bytes)); }

}  // namespace yl
