#include "platform/disk_space.h"

#include <sys/statvfs.h>

namespace yl {

Result<DiskSpace> FreeDiskSpace(const std::string& dir) {
  struct statvfs vfs;
  if (::statvfs(dir.c_str(), &vfs) != 0) return Fail("Cannot read the size of " + dir);
  DiskSpace s;
  std::uint64_t unit = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
  s.free_bytes = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
  s.total_bytes = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
  return s;
}

}  // namespace yl
