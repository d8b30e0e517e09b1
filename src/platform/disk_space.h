#pragma once
// Free and total space of the file system that holds a directory.

#include <cstdint>
#include <string>

#include "core/status.h"

namespace yl {

struct DiskSpace {
  std::uint64_t free_bytes = 0;
  std::uint64_t total_bytes = 0;
};
// Free space for an unprivileged user and total size of the file system holding dir;
// "Cannot read the size of {dir}" when the system does not say.
Result<DiskSpace> FreeDiskSpace(const std::string& dir);

}  // namespace yl
