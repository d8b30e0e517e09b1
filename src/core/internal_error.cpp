#include "core/internal_error.h"

namespace yl {

std::string InternalErrorText(const std::string& message) {
  return "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
         "The error message is:\r\n" +
         message;
}

void CheckIndex(long index, long lo, long hi, const char* what) {
  if (index < lo || index > hi) {
    throw InternalError(std::string(what) + " index " + std::to_string(index) + " outside " +
                        std::to_string(lo) + ".." + std::to_string(hi));
  }
}

}  // namespace yl
