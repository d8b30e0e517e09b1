#include "env/temp_dir.h"

#include "core/text_util.h"
#include "env/dir_source.h"
#include "env/environment.h"
#include "platform/dir_list.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

// "." too: the default temporary directory lives under ~/.cache.
bool AllowedNameChar(char c) {
  return c == ' ' || c == '.' || c == '-' || (c >= '0' && c <= '9') || c == ':' ||
         (c >= 'A' && c <= 'Z') || c == '/' || c == '_' || (c >= 'a' && c <= 'z') || c == '~';
}

}  // namespace

bool AnyPlainFile(const std::string& dir) {
  auto entries = ListDirectory(dir);
  if (!entries) return false;
  for (const DirEntry& e : *entries) {
    if (!e.is_directory) return true;
  }
  return false;
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
