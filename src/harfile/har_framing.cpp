#include "harfile/har_framing.h"

#include "core/status.h"
#include "harfile/record_file.h"

namespace yl {

Status CheckHarFraming(const std::string& path) {
  auto f = OpenLaheyFile(path);
  if (!f) return ForwardSpaced(f, "CheckHarFraming");
  int headers = 0;
  std::int64_t last_name_end = -1;
  for (;;) {
    auto h = SkipHead(*f);
    if (!h) return FailSpaced(path + ": " + h.error(), "CheckHarFraming");
    if (!h->found) break;
    ++headers;
    last_name_end = f->Position();
  }
  if (headers == 0) return FailSpaced(path + ": no header in the file", "CheckHarFraming");
  // A header name with nothing after it is a file cut at a record boundary.
  if (last_name_end == f->Size()) {
    return FailSpaced(path + ": the last header has no data", "CheckHarFraming");
  }
  return Ok();
}

}  // namespace yl
