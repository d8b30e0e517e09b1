#pragma once
// What the directory search and the program search need to know about the machine:
// environment variables, the user's standard folders, the program's own directory,
// ownership of directories and free disk space.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/status.h"

namespace yl {

// Buffer sizes of the environment reads; a longer value counts as undefined.
inline constexpr std::size_t kDirEnvBuffer = 2048;
inline constexpr std::size_t kOtherEnvBuffer = 4096;

// The variable's value, or nullopt when it is undefined, empty or too long for the buffer.
std::optional<std::string> GetEnvVar(const std::string& name, std::size_t buffer = kOtherEnvBuffer);

// $HOME, else the home directory of the account; "" when neither is known.
std::string HomeDirectory();
// An XDG base directory: the variable when it holds an absolute path, else
// HOME + fallback ("/.cache", "/.local/share", "/.config"); "" without a home.
std::string XdgDirectory(const std::string& variable, const std::string& home_relative);
std::string ProcessCurrentDirectory();
// The directory of the running executable (read from /proc/self/exe).
std::string ProgramDirectory();

// Who owns a directory, as far as the temporary-directory rules care.
struct DirOwnerInfo {
  bool owned_by_current_user = false;
  bool writable_by_others = false;
};
// Injectable so that tests can present a foreign-owned directory without root rights.
using DirOwnerProbe = std::function<std::optional<DirOwnerInfo>(const std::string& dir)>;
std::optional<DirOwnerInfo> ProbeDirOwner(const std::string& dir);
// True when the directory exists, belongs to us and is not writable by the world.
bool IsPrivateDir(const std::string& dir, const DirOwnerProbe& probe);

// Creates the directory and every missing parent with mode 0700 (existing ones are left
// as they are); true when the directory exists afterwards.
bool ForcePrivateDirectories(const std::string& path);

// Creates a scratch file with the given name in dir (overwriting a stale one), closes
// and erases it; true only if all three succeed.
bool CanCreateFileIn(const std::string& dir, const std::string& file_name);
// The writability test with the program's own scratch name.
bool IsWritableDir(const std::string& dir);
inline constexpr const char* kWriteTestFileName = "~yrlm-write-probe.$$$";

struct DiskSpace {
  std::uint64_t free_bytes = 0;
  std::uint64_t total_bytes = 0;
};
// Free space for an unprivileged user and total size of the file system holding dir.
Result<DiskSpace> FreeDiskSpace(const std::string& dir);

// Searches PATH (or the given list) for an executable regular file of that name.
std::optional<std::string> FindOnPath(const std::string& name,
                                      const std::optional<std::string>& path_list = std::nullopt);

}  // namespace yl
