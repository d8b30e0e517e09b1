#include "platform/dir_tree.h"

#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/paths.h"

namespace yl {

bool IsSymlink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::string> SymlinkBelow(const std::string& base, const std::string& rel) {
  std::string path = RemoveTrailingSep(base);
  std::size_t start = 0;
  while (start <= rel.size()) {
    std::size_t end = rel.find('/', start);
    if (end == std::string::npos) end = rel.size();
    if (end > start) {
      path = JoinPath(path, rel.substr(start, end - start));
      if (IsSymlink(path)) return path;
    }
    start = end + 1;
  }
  return std::nullopt;
}

Result<std::string> MakeStagingDirectory(const std::string& parent, const std::string& prefix) {
  std::string pattern = JoinPath(parent, prefix + "XXXXXX");
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    return Fail("Cannot create a folder in " + parent + ": " + std::strerror(errno));
  }
  return std::string(buffer.data());
}

Status RenamePath(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    return Fail("Cannot rename " + from + " to " + to + ": " + std::strerror(errno));
  }
  return Ok();
}

Status RemoveTree(const std::string& dir) {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  if (ec) return Fail("Cannot remove " + dir + ": " + ec.message());
  return Ok();
}

bool RemoveEmptyDirectory(const std::string& dir) { return ::rmdir(dir.c_str()) == 0; }

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR) != 0;
}

bool SetExecutable(const std::string& path, bool executable) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  const mode_t x = S_IXUSR | S_IXGRP | S_IXOTH;
  // Execute only where reading is allowed, as a fresh build's files have it.
  mode_t wanted = executable ? (mode | ((mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2)) : (mode & ~x);
  return wanted == mode || ::chmod(path.c_str(), wanted) == 0;
}

}  // namespace yl
