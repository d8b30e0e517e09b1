#include "platform/paths.h"

#include <filesystem>

namespace yl {

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string d(dir);
  while (d.size() > 1 && d.back() == kPathSep) d.pop_back();
  std::size_t b = 0;
  while (b < name.size() && name[b] == kPathSep) ++b;
  if (d.empty()) return std::string(name.substr(b));
  if (d.back() == kPathSep) return d + std::string(name.substr(b));
  return d + kPathSep + std::string(name.substr(b));
}

std::string DirOfFile(std::string_view path) {
  std::size_t p = path.rfind(kPathSep);
  if (p == std::string_view::npos) return "";
  if (p == 0) return "/";
  return std::string(path.substr(0, p));
}

std::string FileNameOf(std::string_view path) {
  std::size_t p = path.rfind(kPathSep);
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string RemoveTrailingSep(std::string_view dir) {
  if (dir.size() > 1 && dir.back() == kPathSep) return std::string(dir.substr(0, dir.size() - 1));
  return std::string(dir);
}

bool IsAbsolutePath(std::string_view name) { return !name.empty() && name[0] == kPathSep; }

std::string ResolveAgainst(std::string_view dir, std::string_view name) {
  if (IsAbsolutePath(name)) return std::string(name);
  if (!name.empty() && name[0] == '.') {
    return std::filesystem::path(JoinPath(dir, name)).lexically_normal().string();
  }
  return JoinPath(dir, name);
}

std::string FileExtOf(std::string_view path) {
  std::size_t sep = path.rfind(kPathSep);
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return "";
  if (sep != std::string_view::npos && dot < sep) return "";
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string ext_now = FileExtOf(path);
  return std::string(path.substr(0, path.size() - ext_now.size())) + std::string(ext);
}

std::string Unquote(std::string_view name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    return std::string(name.substr(1, name.size() - 2));
  }
  return std::string(name);
}

std::string ShellQuote(std::string_view text) {
  std::string r = "'";
  for (char c : text) {
    if (c == '\'') {
      r += "'\\''";
    } else {
      r += c;
    }
  }
  r += '\'';
  return r;
}

std::string AbsolutePath(std::string_view path) {
  std::error_code ec;
  auto p = std::filesystem::absolute(std::filesystem::path(path), ec);
  if (ec) return std::string(path);
  return p.lexically_normal().string();
}

}  // namespace yl
