#pragma once
// Whole-directory operations for unpacking archives: staging folders, moving finished
// files into place, and the link checks that keep an unpacked file inside its target.

#include <optional>
#include <string>

#include "core/status.h"

namespace yl {

// The path itself is a symbolic link (it is not followed).
bool IsSymlink(const std::string& path);
// Anything at all is at path, a dangling link included.
bool PathExists(const std::string& path);
// The first of base/rel's components below base that is a symbolic link, or nullopt.
// rel uses "/" between components.
std::optional<std::string> SymlinkBelow(const std::string& base, const std::string& rel);

// A new empty directory named prefix + six random characters inside parent, that only its
// owner may enter.
Result<std::string> MakeStagingDirectory(const std::string& parent, const std::string& prefix);
// Renames a file or directory; an existing file at `to` is replaced.
Status RenamePath(const std::string& from, const std::string& to);
// Removes the directory and everything below it; links are removed, never followed.
Status RemoveTree(const std::string& dir);
// Removes the directory only when it is empty; true when it is gone.
bool RemoveEmptyDirectory(const std::string& dir);
// Whether the owner may run the file; sets or clears the execute bits of a file.
bool IsExecutableFile(const std::string& path);
bool SetExecutable(const std::string& path, bool executable);

}  // namespace yl
