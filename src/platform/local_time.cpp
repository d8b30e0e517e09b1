#include "platform/local_time.h"

#include "core/date_text.h"

namespace yl {

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return tm;
}

std::string LocalDateText(std::time_t t) { return DateText(LocalTime(t)); }

}  // namespace yl
