#include "env/temp_dir.h"

#include <dirent.h>
#include <sys/stat.h>

#include "core/text_util.h"
#include "env/dir_source.h"
#include "env/environment.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

bool AllowedNameChar(char c) {
  return c == ' ' || c == '-' || (c >= '0' && c <= '9') || c == ':' || (c >= 'A' && c <= 'Z') ||
         c == '/' || c == '_' || (c >= 'a' && c <= 'z') || c == '~';
}

}  // namespace

bool AnyPlainFile(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    struct stat st;
    if (::lstat(JoinPath(dir, n).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

bool IsForbiddenTempDir(const std::string& dir, const SessionPaths& paths) {
  if (dir == "/" || dir.size() <= 3) return true;
  if (DirOfFile(dir) == "/") {
    std::string leaf = LowerCase(FileNameOf(dir));
    if (leaf == "windows" || leaf == "winnt") return true;
  }
  for (const std::string* own : {&paths.program_dir, &paths.keep_dir, &paths.work_dir}) {
    if (!own->empty() && NormaliseDirValue(*own) == dir) return true;
  }
  std::string home = HomeDirectory();
  return !home.empty() && NormaliseDirValue(home) == dir;
}

bool IsSuspiciousTempDirName(const std::string& dir) {
  for (char c : dir) {
    if (!AllowedNameChar(c)) return true;
  }
  return false;
}

}  // namespace yl
