#pragma once
// File times in the units that stored records use: 100-nanosecond ticks since
// 1601-01-01 UTC, and the two-second local DOS date-time that the program calls a
// file's "FileId".

#include <cstdint>
#include <optional>
#include <string>

namespace yl {

struct FileStat {
  std::uint64_t time100ns = 0;  // last-write time
  std::int64_t size = -1;
};

std::optional<FileStat> StatFile(const std::string& path);
std::optional<std::uint64_t> FileTime100ns(const std::string& path);
bool SetFileTime100ns(const std::string& path, std::uint64_t time100ns);

// Two-second DOS date-time of a 100-ns UTC time, in local time.
std::uint32_t DosDateTime(std::uint64_t time100ns);
// The file's DOS date-time; nullopt when it cannot be read.
std::optional<std::uint32_t> FileId(const std::string& path);

std::uint64_t UnixNanosTo100ns(std::int64_t seconds, std::int64_t nanos);

}  // namespace yl
