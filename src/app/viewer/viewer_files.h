#pragma once
// Opening a file the user named for viewing: the errors say plainly what is wrong with
// the name (missing, a folder, empty, too large) before any format is tried.

#include <cstdint>
#include <string>

#include "core/status.h"

namespace yl {

// Results tables are read whole; a bigger file is surely not one.
inline constexpr std::int64_t kMaxViewedTextBytes = 256LL << 20;

// At most max_bytes from the start of the file; errors name the file.
Result<std::string> ReadViewedFileHead(const std::string& path, std::int64_t max_bytes);
// The whole file, refused when larger than max_bytes.
Result<std::string> ReadViewedFile(const std::string& path, std::int64_t max_bytes);

}  // namespace yl
