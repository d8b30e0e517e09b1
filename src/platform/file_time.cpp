#include "platform/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace yl {

namespace {
// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDelta = 11644473600LL;
}  // namespace

std::uint64_t UnixNanosTo100ns(std::int64_t seconds, std::int64_t nanos) {
  return static_cast<std::uint64_t>(seconds + kEpochDelta) * 10000000ULL +
         static_cast<std::uint64_t>(nanos / 100);
}

std::optional<FileStat> StatFile(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStat fs;
  fs.time100ns = UnixNanosTo100ns(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  fs.size = static_cast<std::int64_t>(st.st_size);
  return fs;
}

std::optional<std::uint64_t> FileTime100ns(const std::string& path) {
  auto st = StatFile(path);
  if (!st) return std::nullopt;
  return st->time100ns;
}

bool SetFileTime100ns(const std::string& path, std::uint64_t time100ns) {
  std::int64_t secs = static_cast<std::int64_t>(time100ns / 10000000ULL) - kEpochDelta;
  long nanos = static_cast<long>((time100ns % 10000000ULL) * 100);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(secs);
  times[1].tv_nsec = nanos;
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::uint32_t DosDateTime(std::uint64_t time100ns) {
  time_t secs =
      static_cast<time_t>(static_cast<std::int64_t>(time100ns / 10000000ULL) - kEpochDelta);
  struct tm lt;
  if (!localtime_r(&secs, &lt)) return 0;
  int year = lt.tm_year + 1900;
  if (year < 1980) return 0;
  std::uint32_t date =
      static_cast<std::uint32_t>(((year - 1980) << 9) | ((lt.tm_mon + 1) << 5) | lt.tm_mday);
  std::uint32_t time =
      static_cast<std::uint32_t>((lt.tm_hour << 11) | (lt.tm_min << 5) | (lt.tm_sec / 2));
  return (date << 16) | time;
}

std::optional<std::uint32_t> FileId(const std::string& path) {
  auto t = FileTime100ns(path);
  if (!t) return std::nullopt;
  return DosDateTime(*t);
}

}  // namespace yl
