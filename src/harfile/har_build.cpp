#include "harfile/har_build.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/date_text.h"
#include "platform/local_time.h"

namespace yl {

Result<HarHeader> StringHeader(const std::string& name, const std::string& description,
                               const std::vector<std::string>& strings) {
  std::vector<std::string> cut;
  std::int32_t len = 1;
  for (const std::string& s : strings) {
    cut.push_back(s.substr(0, kMaxKeptStringLen));
    len = std::max<std::int32_t>(len, static_cast<std::int32_t>(cut.back().size()));
  }
  if (cut.empty()) cut.push_back(" ");
  return Create1C(name, description, cut, len);
}

Result<HarHeader> IntHeader(const std::string& name, const std::string& description, int rows,
                            int cols, const std::vector<int>& values) {
  auto h = Create2I(name, description, rows, cols);
  if (!h) return h;
  if (values.size() != h->ints.size())
    return Fail("Header " + name + ": " + std::to_string(values.size()) + " values for " +
                std::to_string(h->ints.size()) + " places");
  for (std::size_t i = 0; i < values.size(); ++i) h->ints[i] = values[i];
  return h;
}

std::string NumberedName(char prefix, int number) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%c%03d", prefix, number % 1000);
  return buf;
}

Status AddBuiltHeader(HarFile& file, Result<HarHeader> header) {
  if (!header) return Fail(header.error());
  return AddHeaderNil(file, std::move(*header));
}

std::string HarCreationTimeNow() {
  std::time_t t = std::time(nullptr);
  return HarTimeText(LocalTime(t));
}

}  // namespace yl
