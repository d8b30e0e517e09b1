#pragma once
// "xxfltime.xxx": the list of the stored files' exact times and sizes that each inner
// archive carries, so that a restore gives every file back the time stamp the run records
// know it by.

#include <string>
#include <vector>

#include "core/message.h"

namespace yl::archive {

inline constexpr char kFileTimesName[] = "xxfltime.xxx";

// One line per file, sorted: "{time low} {time high} {size low} {size high} {full path}".
std::string FileTimesText(const std::vector<std::string>& files);

// Gives each restored file the time its line records, matching lines by file name
// (ignoring case) and size. A file whose time cannot be set is told in notices as "Could
// not reset time/date info for file \r\n{file}". Returns how many files were reset.
int RestoreFileTimes(const std::string& times_text, const std::vector<std::string>& restored,
                     Notices& notices);

}  // namespace yl::archive
