#pragma once
// The sixteen numbered ways of naming a base directory for the directory search. The
// numbers are stored and shared with callers, so they never change; on Linux the
// Windows-only ones map to the nearest equivalent or to nothing.

#include <string>

#include "core/status.h"

namespace yl {

enum DirSource : int {
  kNamedFolder = 0,
  kWindowsFolder = 1,
  kTmpFolder = 2,
  kTempFolder = 3,
  kHomePathFolder = 4,
  kSystemDrive = 5,
  kSvTempFolder = 6,
  kSvKeepFolder = 7,
  kFixedTemp = 8,
  kSvDirFolder = 9,
  kFixedSv = 10,
  kUserFolder = 11,
  kAppDataFolder = 12,
  kCurrentDirectory = 13,
  kApplicationFolder = 14,
  kFixedRoot = 15,
};
inline constexpr int kNumDirSources = 16;

inline constexpr const char* kSolvaraRoot = "/opt/solvara";

// What the sources need besides the environment.
struct DirSourceContext {
  std::string named_folder;  // source 0
  std::string program_dir;   // source 14; the running executable's directory when empty
};

// Display name used in messages ("TMP Folder"); "" for an unknown number.
std::string DirSourceName(int source);
// The normalised directory of a source, "" when undefined. An unknown number fails with
// "program error: unexpected case of sdt".
Result<std::string> DirSourceValue(int source, const DirSourceContext& context);
// Trims blanks, drops one trailing "/" (the root stays), trims again and makes the path
// absolute. An empty value stays empty.
std::string NormaliseDirValue(const std::string& value);

}  // namespace yl
