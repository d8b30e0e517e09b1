#pragma once
// An internal inconsistency (a table index out of range, an impossible case) is not an
// expected failure: it abandons the operation. The command that acts for the user
// catches it and shows InternalErrorText().

#include <stdexcept>
#include <string>

namespace yl {

std::string InternalErrorText(const std::string& message);

class InternalError : public std::runtime_error {
 public:
  explicit InternalError(const std::string& message) : std::runtime_error(message) {}
  std::string UserText() const { return InternalErrorText(what()); }
};

// Throws the InternalError for an index outside lo..hi.
[[noreturn]] void ThrowIndexError(long index, long lo, long hi, const char* what);

// Throws InternalError unless lo <= index <= hi; `what` names the table in the message.
// Inline because every table access goes through it.
inline void CheckIndex(long index, long lo, long hi, const char* what) {
  if (index < lo || index > hi) ThrowIndexError(index, lo, hi, what);
}

}  // namespace yl
