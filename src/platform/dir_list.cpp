#include "platform/dir_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/paths.h"

namespace yl {

std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::vector<DirEntry> entries;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    struct stat st;
    if (::lstat(JoinPath(dir, n).c_str(), &st) != 0) continue;
    entries.push_back({std::move(n), S_ISDIR(st.st_mode)});
  }
  ::closedir(d);
  return entries;
}

}  // namespace yl
