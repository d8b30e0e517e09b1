#pragma once
// Calendar time in the machine's time zone.

#include <ctime>

namespace yl {

// The broken-down local time of t (thread-safe, unlike std::localtime).
std::tm LocalTime(std::time_t t);

}  // namespace yl
