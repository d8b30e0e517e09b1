#include "env/shell.h"

#include "env/environment.h"
#include "platform/paths.h"

namespace yl {

std::string FindTerminal(const std::optional<std::string>& path_list) {
  if (auto p = FindOnPath("x-terminal-emulator", path_list)) return *p;
  return GetEnvVar("TERMINAL").value_or("");
}

}  // namespace yl
