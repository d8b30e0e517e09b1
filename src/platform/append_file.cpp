#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace yl {

bool AppendToExistingFile(const std::string& path, std::string_view text) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  const char* p = text.data();
  std::size_t left = text.size();
  bool ok = true;
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace yl
