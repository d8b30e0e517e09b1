#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <utility>

#include "platform/instance_lock.h"

namespace yl {

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void InstanceLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

Result<InstanceLock> InstanceLock::Acquire(const std::string& path, bool* held) {
  if (held) *held = false;
  // Deliberately without O_CLOEXEC: the programs a run starts inherit the lock.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
  if (fd < 0) return Fail("Cannot open lock file " + path + ": " + std::strerror(errno));
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) {
      if (held) *held = true;
      return Fail("The lock file " + path + " is held by another process");
    }
    return Fail("Cannot lock " + path + ": " + std::strerror(err));
  }
  InstanceLock lock;
  lock.fd_ = fd;
  return lock;
}

std::vector<LockHolder> LockHolders(const std::string& path) {
  std::vector<LockHolder> holders;
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return holders;
  DIR* proc = ::opendir("/proc");
  if (!proc) return holders;
  while (dirent* e = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(e->d_name, &end, 10);
    if (pid <= 0 || *end != '\0' || pid == ::getpid()) continue;
    const std::string fd_dir = "/proc/" + std::string(e->d_name) + "/fd";
    DIR* fds = ::opendir(fd_dir.c_str());
    if (!fds) continue;  // another user's process, or gone
    bool holds = false;
    while (dirent* f = ::readdir(fds)) {
      struct stat st;
      if (f->d_name[0] == '.') continue;
      if (::stat((fd_dir + "/" + f->d_name).c_str(), &st) == 0 && st.st_dev == target.st_dev &&
          st.st_ino == target.st_ino) {
        holds = true;
        break;
      }
    }
    ::closedir(fds);
    if (!holds) continue;
    LockHolder h;
    h.pid = static_cast<int>(pid);
    std::ifstream comm("/proc/" + std::string(e->d_name) + "/comm");
    std::getline(comm, h.command);
    holders.push_back(h);
  }
  ::closedir(proc);
  return holders;
}

}  // namespace yl
