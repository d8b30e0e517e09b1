#pragma once
// Real numbers as our files and command lines hold them: "." decimals and no digit
// grouping, whatever the process locale says. A GUI sets the C locale from the
// environment, and printf/strtod/iostreams would then write and expect "3,5"; these go
// through std::to_chars/std::from_chars, which never look at the locale.

#include <optional>
#include <string>
#include <string_view>

namespace yl {

// The printf conversions we write numbers with, as they read in the C locale.
struct RealFormat {
  enum class Style { kShortest, kGeneral, kFixed, kExponent };
  Style style = Style::kShortest;
  int precision = 0;

  // The fewest digits that read back to the same value ("0.001", "1e-05").
  static RealFormat Shortest() { return {Style::kShortest, 0}; }
  // "%.{p}g"
  static RealFormat General(int p) { return {Style::kGeneral, p}; }
  // "%.{p}f"
  static RealFormat Fixed(int p) { return {Style::kFixed, p}; }
  // "%.{p}E": upper-case "E", at least two exponent digits ("1.0E-03").
  static RealFormat Exponent(int p) { return {Style::kExponent, p}; }
};

std::string FormatReal(double value, RealFormat format = RealFormat::Shortest());
// A float's shortest text is the float's own ("0.001", not "0.0010000000474974513").
std::string FormatReal(float value, RealFormat format = RealFormat::Shortest());

// The whole text as one finite number: an optional sign, digits with an optional "."
// and an optional exponent ("e" or "E"). No blanks, no grouping, no "," decimals, no
// hexadecimal, infinities or NaNs; values out of the type's range give nullopt too.
std::optional<double> ParseReal(std::string_view text);
// Rounded once, straight to float.
std::optional<float> ParseRealFloat(std::string_view text);

}  // namespace yl
