#include "platform/read_at_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace yl {

ReadAtFile::~ReadAtFile() { Close(); }

ReadAtFile::ReadAtFile(ReadAtFile&& other) noexcept { *this = std::move(other); }

ReadAtFile& ReadAtFile::operator=(ReadAtFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool ReadAtFile::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  size_ = st.st_size;
  return true;
}

void ReadAtFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

ReadAtResult ReadAtFile::ReadExactly(std::int64_t offset, void* dst, std::int64_t count) const {
  auto* out = static_cast<unsigned char*>(dst);
  while (count > 0) {
    ssize_t got = ::pread(fd_, out, static_cast<std::size_t>(count), static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      return {ReadAtResult::kFailed, std::strerror(errno)};
    }
    if (got == 0) return {ReadAtResult::kEndOfFile, {}};
    out += got;
    offset += got;
    count -= got;
  }
  return {};
}

}  // namespace yl
