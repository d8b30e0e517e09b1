#include "platform/file_lookup.h"

#include <dirent.h>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

std::optional<std::string> FindNameNoCase(const std::string& dir, const std::string& name) {
  if (name.empty() || name.find(kPathSep) != std::string::npos) return std::nullopt;
  if (FileExists(JoinPath(dir, name))) return name;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (SameText(e->d_name, name) && FileExists(JoinPath(dir, e->d_name))) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::optional<std::string> FindFileNoCase(const std::string& dir, const std::string& name) {
  auto n = FindNameNoCase(dir, name);
  if (!n) return std::nullopt;
  return JoinPath(dir, *n);
}

bool FileExistsNoCase(const std::string& dir, const std::string& name) {
  return FindNameNoCase(dir, name).has_value();
}

std::optional<std::string> ResolvePathNoCase(const std::string& path) {
  if (FileExists(path)) return path;
  return FindFileNoCase(DirOfFile(path), FileNameOf(path));
}

}  // namespace yl
