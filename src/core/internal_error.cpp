#include "core/internal_error.h"

namespace yl {

std::string InternalErrorText(const std::string& message) {
  return "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
         "The error message is:\r\n" +
         message;
}

void ThrowIndexError(long index, long lo, long hi, const char* what) {
  std::string message(what);
  message += " index ";
  message += std::to_string(index);
  message += " outside ";
  message += std::to_string(lo);
  message += "..";
  message += std::to_string(hi);
  throw InternalError(message);
}

}  // namespace yl
