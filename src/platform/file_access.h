#pragma once
// What this user may do with a directory or file: own it, create in it, run it.

#include <optional>
#include <string>

namespace yl {

// Who owns a directory, as far as the temporary-directory rules care.
struct DirOwnerInfo {
  bool owned_by_current_user = false;
  bool writable_by_others = false;
};
// nullopt when dir is not an existing directory.
std::optional<DirOwnerInfo> ProbeDirOwner(const std::string& dir);

// Creates one directory that only its owner may enter; true when it was created or
// already existed.
bool CreatePrivateDirectory(const std::string& dir);

// Creates a scratch file with the given name in dir (overwriting a stale one), closes
// and erases it; true only if all three succeed.
bool CanCreateFileIn(const std::string& dir, const std::string& file_name);

// Whether this user may execute the file.
bool IsExecutableByUser(const std::string& path);

}  // namespace yl
