#include "env/har_settings.h"

#include "env/ini_file.h"
#include "platform/paths.h"
#include "platform/user_dirs.h"

namespace yl {

std::string SolvaraSettingsPath() { return JoinPath(UserConfigDirectory(), "solvara.ini"); }

bool ReadUseSparse() {
  auto ini = IniFile::Load(SolvaraSettingsPath());
  if (!ini) return false;
  return ini->ReadBool("Solvara", "UseSparse", false);
}

}  // namespace yl
