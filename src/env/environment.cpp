#include "env/environment.h"

#include <filesystem>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

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

std::string ProgramPath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
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
    if (!CreatePrivateDirectory(*it)) return false;
  }
  return DirectoryExists(abs);
}

bool IsWritableDir(const std::string& dir) {
  return !dir.empty() && CanCreateFileIn(dir, kWriteTestFileName);
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
    if (FileExists(candidate) && IsExecutableByUser(candidate)) {
      return AbsolutePath(candidate);
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const auto value = GetEnvVar(name);
    if (value && !value->empty()) return true;
  }
  return false;
}

}  // namespace yl
