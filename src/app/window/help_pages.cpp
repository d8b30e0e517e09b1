#include "app/window/help_pages.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

std::vector<std::string> HelpDirectories(const std::string& program_dir) {
  // Beside the program in a build tree; under share/ when installed, the program living in
  // bin/ or in the private lib/yearloom/.
  const std::string up = DirOfFile(RemoveTrailingSep(program_dir));
  return {JoinPath(program_dir, "help"), JoinPath(up, "share/yearloom/help"),
          JoinPath(DirOfFile(up), "share/yearloom/help")};
}

std::string HelpPagePath(const std::vector<std::string>& dirs, int topic) {
  const std::string name = std::to_string(topic) + ".html";
  for (const std::string& d : dirs) {
    const std::string path = JoinPath(d, name);
    if (FileExists(path)) return path;
  }
  return "";
}

}  // namespace yl
