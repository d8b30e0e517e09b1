#include "records/file_stamp.h"

#include <array>
#include <charconv>
#include <ctime>
#include <vector>

#include "core/text_util.h"
#include "platform/file_time.h"
#include "platform/local_time.h"

namespace yl::records {

namespace {

constexpr std::int64_t kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970

std::string Halves(std::uint64_t v) {
  const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xffffffffULL));
  const auto high = static_cast<std::int32_t>(static_cast<std::uint32_t>(v >> 32));
  return std::to_string(low) + " " + std::to_string(high);
}

std::optional<std::int32_t> Int32(std::string_view s) {
  std::int32_t v = 0;
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, v);
  if (ec != std::errc() || p != end) return std::nullopt;
  return v;
}

std::uint64_t Join(std::int32_t low, std::int32_t high) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
         static_cast<std::uint32_t>(low);
}

// The next blank-separated word of `rest`, which moves past it.
std::string_view Word(std::string_view& rest) {
  std::size_t b = rest.find_first_not_of(' ');
  if (b == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(b);
  std::size_t e = rest.find(' ');
  std::string_view w = rest.substr(0, e);
  rest.remove_prefix(e == std::string_view::npos ? rest.size() : e);
  return w;
}

bool SizeKnown(std::int64_t size) { return size >= 0 && size < (std::int64_t{1} << 32); }

std::string LowerFirst(std::string s) {
  if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] - 'A' + 'a');
  return s;
}

}  // namespace

FileStamp StampOf(const std::string& path) {
  FileStamp s;
  s.name = path;
  if (auto st = StatFile(path)) {
    s.time = st->time100ns;
    s.size = st->size;
  }
  return s;
}

std::string FormatFileStamp(const FileStamp& stamp) {
  return Halves(stamp.time) + " " + Halves(static_cast<std::uint64_t>(stamp.size)) + " " +
         stamp.name;
}

std::optional<FileStamp> ParseFileStamp(std::string_view text) {
  std::array<std::int32_t, 4> v{};
  for (auto& x : v) {
    auto n = Int32(Word(text));
    if (!n) return std::nullopt;
    x = *n;
  }
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  FileStamp s;
  s.time = Join(v[0], v[1]);
  s.size = static_cast<std::int64_t>(Join(v[2], v[3]));
  s.name = std::string(text);
  return s;
}

std::string FormatCompletion(std::uint64_t time) { return Halves(time); }

std::optional<std::uint64_t> ParseCompletion(std::string_view text) {
  auto low = Int32(Word(text));
  auto high = Int32(Word(text));
  if (!low || !high || !Word(text).empty()) return std::nullopt;
  return Join(*low, *high);
}

std::string StampDateText(std::uint64_t time) {
  return LocalDateText(
      static_cast<std::time_t>(static_cast<std::int64_t>(time / 10000000ULL) - kEpochDelta));
}

std::string CompareWithStamp(const FileStamp& recorded, const std::string& path,
                             const StampTest& test) {
  const std::string role = test.created ? "created" : "used";
  if (test.compare_name && !SameText(recorded.name, path)) {
    return "The name of " + LowerFirst(test.what) + "\r\n    has changed. Now it is: " + path +
           "\r\n    but when you last ran the " + test.unit + " it was: " + recorded.name;
  }
  const FileStamp now = StampOf(path);
  const bool exists = now.size >= 0;
  const std::string head = test.what + ": " + path;
  const std::string ran = " " + role + " when you last ran the " + test.unit;
  const std::string then = "\r\n    the file" + ran;
  const std::uint32_t dos_now = exists ? DosDateTime(now.time) : 0;
  const std::uint32_t dos_then = recorded.time != 0 ? DosDateTime(recorded.time) : 0;
  if (dos_now != dos_then) {
    if (recorded.time == 0) {
      return head + " is different since\r\n    the current file was created on " +
             StampDateText(now.time) + " but" + then + "\r\n    did not exist.";
    }
    const std::string when = "\r\n    was created on " + StampDateText(recorded.time) + ".";
    if (!exists) return head + " no longer exists while" + then + when;
    if (dos_now == 0) {
      return head + " exists yet\r\n   this program cannot identify when it was created. The" +
             "\r\n    file" + ran + when;
    }
    return head + " is different since\r\n    the current file was created on " +
           StampDateText(now.time) + " but" + then + when;
  }
  if (!exists && recorded.size < 0) return "";  // absent then and now
  const bool known_now = SizeKnown(now.size);
  const bool known_then = SizeKnown(recorded.size);
  if (known_now && known_then && now.size == recorded.size) return "";
  if (!known_now && !known_then) return "";
  const std::string version = "\r\n    the version" + ran;
  if (!known_then) {
    return head + " is different since\r\n    the current version has size " +
           std::to_string(now.size) + " bytes but" + version +
           "\r\n    had a size this program cannot identify.";
  }
  const std::string had = "\r\n    had size " + std::to_string(recorded.size) + " bytes.";
  if (!exists) return head + " no longer exists while" + version + had;
  if (!known_now) {
    return head + " exists yet\r\n   this program cannot identify its size. The" +
           "\r\n    version" + ran + had;
  }
  return head + " is different since\r\n    the current version has size " +
         std::to_string(now.size) + " bytes but" + version + had;
}

}  // namespace yl::records
