#include "app/viewer/viewer_files.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/read_at_file.h"

namespace yl {

namespace {

Result<ReadAtFile> OpenViewed(const std::string& path) {
  if (path.empty()) return Fail("No file name was given");
  if (DirectoryExists(path)) return Fail(path + " is a folder, not a file");
  if (!FileExists(path)) return Fail(path + " does not exist");
  ReadAtFile f;
  if (!f.Open(path)) return Fail("Cannot open " + path);
  return f;
}

Result<std::string> ReadFrom(const ReadAtFile& f, const std::string& path, std::int64_t count) {
  std::string bytes(static_cast<std::size_t>(count), '\0');
  const ReadAtResult r = f.ReadExactly(0, bytes.data(), count);
  if (r.kind == ReadAtResult::kFailed) return Fail("Cannot read " + path + ": " + r.reason);
  if (r.kind == ReadAtResult::kEndOfFile) return Fail(path + " changed while it was read");
  return bytes;
}

}  // namespace

Result<std::string> ReadViewedFileHead(const std::string& path, std::int64_t max_bytes) {
  auto f = OpenViewed(path);
  if (!f) return std::unexpected(f.error());
  if (f->Size() == 0) return Fail(path + " is empty");
  return ReadFrom(*f, path, std::min(f->Size(), max_bytes));
}

Result<std::string> ReadViewedFile(const std::string& path, std::int64_t max_bytes) {
  auto f = OpenViewed(path);
  if (!f) return std::unexpected(f.error());
  if (f->Size() == 0) return Fail(path + " is empty");
  if (f->Size() > max_bytes) {
    return Fail(path + " is too large to view (" + std::to_string(f->Size() >> 20) +
                " MB; at most " + std::to_string(max_bytes >> 20) + " MB)");
  }
  return ReadFrom(*f, path, f->Size());
}

}  // namespace yl
