#pragma once
// The File menu's list of recently used Sim Details files, kept in the options file.

#include <functional>
#include <string>
#include <vector>

#include "env/ini_file.h"

namespace yl {

inline constexpr int kRecentFilesShown = 15;
inline constexpr char kRecentFilesSection[] = "MRUFiles";

using FileExistsFn = std::function<bool(const std::string& path)>;

// "MRU1".."MRU15" as stored: an entry is taken only when its file still exists and it is
// not already listed (names compared ignoring case).
std::vector<std::string> ReadRecentFiles(const IniFile& ini, const FileExistsFn& exists);
// Moves `path` to the top, or inserts it there and drops the oldest past the limit.
void AddRecentFile(std::vector<std::string>& list, const std::string& path);
// Rewrites the section with the entries whose file still exists, numbered without gaps.
void WriteRecentFiles(IniFile& ini, const std::vector<std::string>& list,
                      const FileExistsFn& exists);

}  // namespace yl
