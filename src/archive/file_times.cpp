#include "archive/file_times.h"

#include <algorithm>
#include <map>

#include "core/text_util.h"
#include "platform/file_time.h"
#include "platform/paths.h"
#include "records/file_stamp.h"

namespace yl::archive {

std::string FileTimesText(const std::vector<std::string>& files) {
  std::vector<std::string> lines;
  lines.reserve(files.size());
  for (const std::string& f : files) lines.push_back(records::FormatFileStamp(records::StampOf(f)));
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

int RestoreFileTimes(const std::string& times_text, const std::vector<std::string>& restored,
                     Notices& notices) {
  std::multimap<std::string, records::FileStamp> by_name;
  for (const std::string& line : SplitLines(times_text)) {
    auto stamp = records::ParseFileStamp(line);
    if (!stamp || stamp->time == 0) continue;
    by_name.emplace(LowerCase(FileNameOf(stamp->name)), *stamp);
  }
  int reset = 0;
  for (const std::string& file : restored) {
    const auto now = StatFile(file);
    if (!now) continue;
    auto [first, last] = by_name.equal_range(LowerCase(FileNameOf(file)));
    for (auto it = first; it != last; ++it) {
      if (it->second.size != now->size) continue;
      if (SetFileTime100ns(file, it->second.time)) {
        ++reset;
      } else {
        notices.push_back(ErrorMessage("Could not reset time/date info for file \r\n" + file));
      }
      break;
    }
  }
  return reset;
}

}  // namespace yl::archive
