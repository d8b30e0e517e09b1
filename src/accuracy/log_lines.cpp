#include "accuracy/log_lines.h"

namespace yl {

bool TextLogLines::Next(std::string& line) {
  if (at_ >= text_.size()) return false;
  std::size_t end = text_.find('\n', at_);
  if (end == std::string::npos) end = text_.size();
  line.assign(text_, at_, end - at_);
  at_ = end + 1;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace yl
