#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"

namespace yl {

std::optional<DirOwnerInfo> ProbeDirOwner(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  DirOwnerInfo info;
  info.owned_by_current_user = st.st_uid == ::geteuid();
  info.writable_by_others = (st.st_mode & S_IWOTH) != 0;
  return info;
}

bool CreatePrivateDirectory(const std::string& dir) {
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool CanCreateFileIn(const std::string& dir, const std::string& file_name) {
  std::string p = JoinPath(dir, file_name);
  // O_NOFOLLOW: a planted link must not make us truncate someone else's file.
  int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool closed = ::close(fd) == 0;
  bool erased = ::unlink(p.c_str()) == 0;
  return closed && erased;
}

bool IsExecutableByUser(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

}  // namespace yl
