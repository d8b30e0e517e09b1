#pragma once
// The stamps the run records keep: a file's last-write time, size and name, and the time
// a unit of work was booked. Both are written as blank-separated signed 32-bit halves so
// that records stay readable by every earlier release.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yl::records {

struct FileStamp {
  std::uint64_t time = 0;  // 100-ns units since 1601 (UTC); 0 when the file was not found
  std::int64_t size = -1;  // -1 when the file was not found
  std::string name;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file as it is now.
FileStamp StampOf(const std::string& path);
// "{time low} {time high} {size low} {size high} {name}".
std::string FormatFileStamp(const FileStamp& stamp);
// nullopt when the text is not a stamp.
std::optional<FileStamp> ParseFileStamp(std::string_view text);

// "{low} {high}" of a 100-ns time; compared as an unsigned 64-bit number.
std::string FormatCompletion(std::uint64_t time);
std::optional<std::uint64_t> ParseCompletion(std::string_view text);

// "05-Mar-2004 at 14:22:10", in local time.
std::string StampDateText(std::uint64_t time);

// How a file is introduced in a reason and what it was to the unit.
struct StampTest {
  std::string what;      // the text that introduces the file ("Common Base Closure file")
  std::string unit;      // "Base", "simulation for year 2027 (period number 3) of the Policy", ...
  bool created = false;  // the unit wrote the file; otherwise it read it
  bool compare_name = true;
};

// Why the file at `path` is not the one stamped, or "" when it is: the names (ignoring
// case), then the two-second local DOS times, then the sizes (4 GB or more is unknown).
std::string CompareWithStamp(const FileStamp& recorded, const std::string& path,
                             const StampTest& test);

}  // namespace yl::records
