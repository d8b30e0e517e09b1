#pragma once
// What the directory search and the program search need to know about the machine:
// environment variables, the user's standard folders, the program's own directory,
// ownership of directories and free disk space. The system calls behind them live in
// platform/; its headers come along so that callers need only this one.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/status.h"
#include "platform/disk_space.h"
#include "platform/file_access.h"
#include "platform/user_dirs.h"

namespace yl {

std::string ProcessCurrentDirectory();
// The directory of the running executable (read from /proc/self/exe).
std::string ProgramDirectory();
// The running executable's full path; "" when the system does not tell.
std::string ProgramPath();

// Injectable so that tests can present a foreign-owned directory without root rights.
using DirOwnerProbe = std::function<std::optional<DirOwnerInfo>(const std::string& dir)>;
// True when the directory exists, belongs to us and is not writable by the world.
bool IsPrivateDir(const std::string& dir, const DirOwnerProbe& probe);

// Creates the directory and every missing parent with mode 0700 (existing ones are left
// as they are); true when the directory exists afterwards.
bool ForcePrivateDirectories(const std::string& path);

// The writability test with the program's own scratch name.
bool IsWritableDir(const std::string& dir);
inline constexpr const char* kWriteTestFileName = "~yrlm-write-probe.$$$";

// Whether a window can open: DISPLAY or WAYLAND_DISPLAY is set and not empty.
bool HasDisplay();

// Searches PATH (or the given list) for an executable regular file of that name.
std::optional<std::string> FindOnPath(const std::string& name,
                                      const std::optional<std::string>& path_list = std::nullopt);

}  // namespace yl
