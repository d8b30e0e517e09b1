#pragma once
// Expected failures travel as values carrying the user-facing error text. Each routine
// appends its own name in square brackets on the way out, so the final text reads like
// "Cannot open file x.cmf[TxtOpen][AddClosureShocksToCMF][MakeCMF]". The Header Array
// routines write theirs after a blank ("Unexpected end-of-file [FileRead] [GetRecLen]"),
// through the Spaced counterparts below.

#include <expected>
#include <string>
#include <string_view>
#include <utility>

namespace yl {

template <class T>
using Result = std::expected<T, std::string>;
using Status = std::expected<void, std::string>;

inline std::unexpected<std::string> Fail(std::string text) {
  return std::unexpected<std::string>(std::move(text));
}

inline Status Ok() { return {}; }

inline std::string Bracket(std::string_view routine) {
  std::string s;
  s.reserve(routine.size() + 2);
  s += '[';
  s += routine;
  s += ']';
  return s;
}

// Appends "[routine]" to the error text of a failed result; a success passes unchanged.
template <class T>
Result<T> Tag(Result<T> r, std::string_view routine) {
  if (!r) r.error() += Bracket(routine);
  return r;
}

// A failure of another result type, re-tagged for this routine.
template <class T>
std::unexpected<std::string> Forward(const Result<T>& r, std::string_view routine) {
  return std::unexpected<std::string>(r.error() + Bracket(routine));
}

// " [routine]": the bracket after a blank, as the Header Array routines write it.
inline std::string SpacedBracket(std::string_view routine) { return ' ' + Bracket(routine); }

template <class T>
Result<T> TagSpaced(Result<T> r, std::string_view routine) {
  if (!r) r.error() += SpacedBracket(routine);
  return r;
}

template <class T>
std::unexpected<std::string> ForwardSpaced(const Result<T>& r, std::string_view routine) {
  return std::unexpected<std::string>(r.error() + SpacedBracket(routine));
}

// A new failure of this routine: the text with " [routine]" after it.
inline std::unexpected<std::string> FailSpaced(std::string text, std::string_view routine) {
  return std::unexpected<std::string>(std::move(text) + SpacedBracket(routine));
}

}  // namespace yl
