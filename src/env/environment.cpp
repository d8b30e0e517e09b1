#include "env/environment.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

std::optional<std::string> GetEnvVar(const std::string& name, std::size_t buffer) {
  const char* v = std::getenv(name.c_str());
  if (v == nullptr || *v == '\0') return std::nullopt;
  std::string s(v);
  if (s.size() >= buffer) return std::nullopt;  // room for the terminating zero
  return s;
}

std::string HomeDirectory() {
  if (auto h = GetEnvVar("HOME", kDirEnvBuffer)) return *h;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return "";
}

std::string XdgDirectory(const std::string& variable, const std::string& home_relative) {
  if (auto v = GetEnvVar(variable, kDirEnvBuffer); v && IsAbsolutePath(*v)) return *v;
  std::string home = HomeDirectory();
  if (home.empty()) return "";
  return JoinPath(home, home_relative);
}

std::string ProcessCurrentDirectory() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

std::string ProgramDirectory() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ProcessCurrentDirectory();
  return p.parent_path().string();
}

std::optional<DirOwnerInfo> ProbeDirOwner(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  DirOwnerInfo info;
  info.owned_by_current_user = st.st_uid == ::geteuid();
  info.writable_by_others = (st.st_mode & S_IWOTH) != 0;
  return info;
}

bool IsPrivateDir(const std::string& dir, const DirOwnerProbe& probe) {
  auto info = probe ? probe(dir) : ProbeDirOwner(dir);
  return info && info->owned_by_current_user && !info->writable_by_others;
}

bool ForcePrivateDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::string abs = AbsolutePath(path);
  std::vector<std::string> missing;
  std::string p = RemoveTrailingSep(abs);
  while (!p.empty() && !DirectoryExists(p)) {
    missing.push_back(p);
    std::string parent = DirOfFile(p);
    if (parent == p) break;
    p = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return DirectoryExists(abs);
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

bool IsWritableDir(const std::string& dir) {
  return !dir.empty() && CanCreateFileIn(dir, kWriteTestFileName);
}

Result<DiskSpace> FreeDiskSpace(const std::string& dir) {
  struct statvfs vfs;
  if (::statvfs(dir.c_str(), &vfs) != 0) return Fail("Cannot read the size of " + dir);
  DiskSpace s;
  std::uint64_t unit = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
  s.free_bytes = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
  s.total_bytes = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
  return s;
}

std::optional<std::string> FindOnPath(const std::string& name,
                                      const std::optional<std::string>& path_list) {
  if (name.empty()) return std::nullopt;
  std::string list = path_list ? *path_list : GetEnvVar("PATH").value_or("");
  if (list.empty()) return std::nullopt;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string dir = list.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = JoinPath(dir, name);
    if (FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) {
      return AbsolutePath(candidate);
    }
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace yl
