#include "app/dialogs/change_directory.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

std::string DirectoryToSelect(const std::string& requested, const std::string& home) {
  if (!requested.empty() && DirectoryExists(requested)) return RemoveTrailingSep(requested);
  return home;
}

}  // namespace yl
