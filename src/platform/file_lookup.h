#pragma once
// Files named by the user or by upper-case table cells (".CLS", ".BSH", ...) are found
// without regard to case: the exact name first, then any name in the directory that
// differs only in case. Callers write the real on-disk name into command files.

#include <optional>
#include <string>

namespace yl {

// The on-disk name (not the path) of `name` in dir, or nullopt.
std::optional<std::string> FindNameNoCase(const std::string& dir, const std::string& name);
// The full path of the file found without regard to case, or nullopt.
std::optional<std::string> FindFileNoCase(const std::string& dir, const std::string& name);
bool FileExistsNoCase(const std::string& dir, const std::string& name);
// For a full path: the same lookup on its last component.
std::optional<std::string> ResolvePathNoCase(const std::string& path);

}  // namespace yl
