#include "platform/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

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

std::string UserConfigDirectory() { return XdgDirectory("XDG_CONFIG_HOME", ".config"); }

}  // namespace yl
