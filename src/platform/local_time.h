#pragma once
// Calendar time in the machine's time zone.

#include <ctime>
#include <string>

namespace yl {

// The broken-down local time of t (thread-safe, unlike std::localtime).
std::tm LocalTime(std::time_t t);

// t as local time in the program's date form ("05-Mar-2007 at 14:02:33").
std::string LocalDateText(std::time_t t);

}  // namespace yl
