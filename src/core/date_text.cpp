#include "core/date_text.h"

#include <array>
#include <cstdio>

namespace yl {

namespace {

const char* MonthName(int month0) {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return month0 >= 0 && month0 < 12 ? kMonths[static_cast<std::size_t>(month0)] : "???";
}

}  // namespace

std::string DateText(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d-%s-%04d at %02d:%02d:%02d", t.tm_mday, MonthName(t.tm_mon),
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string HarTimeText(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %02d-%s-%04d", t.tm_hour, t.tm_min, t.tm_sec,
                t.tm_mday, MonthName(t.tm_mon), t.tm_year + 1900);
  return buf;
}

}  // namespace yl
