#include "core/date_text.h"

#include <array>
#include <cstdio>

namespace yl {

std::string DateText(const std::tm& t) {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* month =
      t.tm_mon >= 0 && t.tm_mon < 12 ? kMonths[static_cast<std::size_t>(t.tm_mon)] : "???";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d-%s-%04d at %02d:%02d:%02d", t.tm_mday, month,
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

}  // namespace yl
