#pragma once
// The rules about the temporary directory that do not involve the user: which names are
// suspicious and which places may never be emptied at exit.

#include <string>

#include "env/session_paths.h"

namespace yl {

// True when the name holds characters other than letters, digits, blank, "-", ".", ":",
// "/", "_" and "~".
bool IsSuspiciousTempDirName(const std::string& dir);

// True when dir directly holds something other than a directory.
bool AnyPlainFile(const std::string& dir);

// Emptied at every exit, so it must not be a place that holds anything of value.
bool IsForbiddenTempDir(const std::string& dir, const SessionPaths& paths);

}  // namespace yl
