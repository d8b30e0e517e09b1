#pragma once
// The Header Array routines append " [Routine]" (with a leading blank) to an error text
// on the way out; these are the blank-prefixed counterparts of Tag() and Forward().

#include <string>
#include <string_view>

#include "core/status.h"

namespace yl {

inline std::string Sfx(std::string_view routine) {
  std::string s = " [";
  s += routine;
  s += ']';
  return s;
}

template <class T>
Result<T> TagB(Result<T> r, std::string_view routine) {
  if (!r) r.error() += Sfx(routine);
  return r;
}

template <class T>
std::unexpected<std::string> FwdB(const Result<T>& r, std::string_view routine) {
  return std::unexpected<std::string>(r.error() + Sfx(routine));
}

inline std::unexpected<std::string> FailB(std::string text, std::string_view routine) {
  return std::unexpected<std::string>(std::move(text) + Sfx(routine));
}

}  // namespace yl
