#pragma once
// Appending to a log that other processes may be appending to at the same time.

#include <string>
#include <string_view>

namespace yl {

// Appends the text to an existing file in O_APPEND mode, so that each write lands whole at
// the end even when another process writes too. False when the file cannot be opened
// (it is not created) or a write or the close fails.
bool AppendToExistingFile(const std::string& path, std::string_view text);

}  // namespace yl
