#pragma once
// Large zero-filled memory blocks for arrays read from or written to Header Array files.

#include <cstddef>

namespace yl {

// Blocks at least this big are mapped directly rather than taken from malloc.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{4} << 20;

// A block of fresh zero pages, backed by huge pages where the system allows; nullptr
// when the memory is not there. Release with ReleaseZeroedBlock and the same size.
void* AllocateZeroedBlock(std::size_t bytes);
void ReleaseZeroedBlock(void* block, std::size_t bytes);

}  // namespace yl
