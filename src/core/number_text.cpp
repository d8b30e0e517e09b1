#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace yl {
namespace {

// Room for the longest "%.{p}f" of a double: 309 integer digits, the sign, the point and
// the decimals.
constexpr std::size_t kRoom = 330;

template <class T>
std::string Format(T value, RealFormat f) {
  std::string buf(kRoom + static_cast<std::size_t>(std::max(f.precision, 0)), '\0');
  char* first = buf.data();
  char* last = buf.data() + buf.size();
  std::to_chars_result r;
  switch (f.style) {
    case RealFormat::Style::kShortest:
      r = std::to_chars(first, last, value);
      break;
    case RealFormat::Style::kGeneral:
      r = std::to_chars(first, last, value, std::chars_format::general, f.precision);
      break;
    case RealFormat::Style::kFixed:
      r = std::to_chars(first, last, value, std::chars_format::fixed, f.precision);
      break;
    case RealFormat::Style::kExponent:
      r = std::to_chars(first, last, value, std::chars_format::scientific, f.precision);
      break;
  }
  if (r.ec != std::errc()) return "?";  // cannot happen with kRoom
  buf.resize(static_cast<std::size_t>(r.ptr - first));
  if (f.style == RealFormat::Style::kExponent) {
    // printf's "%E" upper-cases the exponent letter and "INF"/"NAN" alike.
    for (char& c : buf)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return buf;
}

template <class T>
std::optional<T> Parse(std::string_view text) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  // from_chars takes "-" but not "+"; "+-1" must stay wrong.
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return std::nullopt;
  }
  if (first == last) return std::nullopt;
  T v{};
  auto r = std::from_chars(first, last, v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

std::string FormatReal(double value, RealFormat format) { return Format(value, format); }

std::string FormatReal(float value, RealFormat format) {
  if (format.style == RealFormat::Style::kShortest) return Format(value, format);
  // printf sees a float as the double it promotes to.
  return Format(static_cast<double>(value), format);
}

std::optional<double> ParseReal(std::string_view text) { return Parse<double>(text); }

std::optional<float> ParseRealFloat(std::string_view text) { return Parse<float>(text); }

}  // namespace yl
