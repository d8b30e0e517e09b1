#include "harfile/har_settings.h"

#include <cstdlib>

#include "env/ini_file.h"
#include "platform/paths.h"

namespace yl {

std::string SolvaraSettingsPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string dir;
  if (xdg && *xdg) {
    dir = xdg;
  } else {
    const char* home = std::getenv("HOME");
    dir = JoinPath(home ? home : "", ".config");
  }
  return JoinPath(dir, "solvara.ini");
}

bool ReadUseSparse() {
  auto ini = IniFile::Load(SolvaraSettingsPath());
  if (!ini) return false;
  return ini->ReadBool("Solvara", "UseSparse", false);
}

}  // namespace yl
