#pragma once
// The one way dates are written in run records, reports and archives:
// "05-Mar-2007 at 14:02:33". The caller turns its clock time into local broken-down time
// (platform/local_time.h); the text itself never depends on the locale.

#include <ctime>
#include <string>

namespace yl {

// Two-digit day, three-letter English month and four-digit year joined by hyphens, then
// "at" and hh:mm:ss. A month outside 0..11 is written "???" rather than as another month.
std::string DateText(const std::tm& t);
// The creation time of a Header Array file: "14:02:33 05-Mar-2007", the same month names.
std::string HarTimeText(const std::tm& t);

}  // namespace yl
