#include "platform/local_time.h"

namespace yl {

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return tm;
}

}  // namespace yl
