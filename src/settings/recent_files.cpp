#include "settings/recent_files.h"

#include <algorithm>

#include "core/text_util.h"

namespace yl {

namespace {

std::string Key(int i) { return "MRU" + std::to_string(i); }

bool Listed(const std::vector<std::string>& list, const std::string& path) {
  const std::string upper = UpperCase(path);
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& p) { return UpperCase(p) == upper; });
}

}  // namespace

std::vector<std::string> ReadRecentFiles(const IniFile& ini, const FileExistsFn& exists) {
  std::vector<std::string> list;
  for (int i = 1; i <= kRecentFilesShown; ++i) {
    const std::string path = ini.ReadString(kRecentFilesSection, Key(i), "");
    if (path.empty() || Listed(list, path) || !exists(path)) continue;
    list.push_back(path);
  }
  return list;
}

void AddRecentFile(std::vector<std::string>& list, const std::string& path) {
  if (path.empty()) return;
  const std::string upper = UpperCase(path);
  std::erase_if(list, [&](const std::string& p) { return UpperCase(p) == upper; });
  list.insert(list.begin(), path);
  if (list.size() > static_cast<std::size_t>(kRecentFilesShown)) list.resize(kRecentFilesShown);
}

void WriteRecentFiles(IniFile& ini, const std::vector<std::string>& list,
                      const FileExistsFn& exists) {
  ini.RemoveSection(kRecentFilesSection);
  int n = 0;
  for (const std::string& path : list) {
    if (n == kRecentFilesShown) break;
    if (!path.empty() && exists(path)) ini.Set(kRecentFilesSection, Key(++n), path);
  }
}

}  // namespace yl
