#pragma once
// Fresh zero-filled pages straight from the system, for blocks too big for malloc to
// be worth it.

#include <cstddef>

namespace yl {

// Maps bytes of zero pages (bytes is rounded up to whole pages by the system); with
// huge_pages the system is asked to back them with huge pages, which it may ignore.
// nullptr when the memory is not there.
void* MapZeroedPages(std::size_t bytes, bool huge_pages);
// Gives back a mapping made by MapZeroedPages, with the same size.
void UnmapPages(void* block, std::size_t bytes);

}  // namespace yl
