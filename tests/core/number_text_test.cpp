#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "support/comma_locale.h"

namespace yl {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kValues[] = {0.0,        -0.0,
                          1.0,        -1.0,
                          0.001,      0.00025,
                          12.0,       1e-5,
                          0.5,        2.5,
                          0.125,      -0.05,
                          123456789., 3.14159265358979,
                          1e21,       1.5e300,
                          -7e-300,    5e-324,
                          99.95,      9.9999999,
                          0.0001,     kInf,
                          -kInf,      std::numeric_limits<double>::quiet_NaN()};

struct Conversion {
  const char* printf_format;
  RealFormat format;
};
const Conversion kConversions[] = {
    {"%.7g", RealFormat::General(7)}, {"%.9g", RealFormat::General(9)},
    {"%.6g", RealFormat::General(6)}, {"%.1f", RealFormat::Fixed(1)},
    {"%f", RealFormat::Fixed(6)},     {"%.1E", RealFormat::Exponent(1)},
    {"%.3E", RealFormat::Exponent(3)}};

// Files written before keep their exact text: each format gives what printf gave in the C
// locale, including rounding, "-0", exponents and non-finite values.
TEST(FormatReal, SameTextAsPrintfInTheCLocale) {
  for (const Conversion& c : kConversions) {
    for (double v : kValues) {
      char expected[512];
      std::snprintf(expected, sizeof expected, c.printf_format, v);
      EXPECT_EQ(FormatReal(v, c.format), expected) << c.printf_format << " of " << v;
    }
  }
}

TEST(FormatReal, ShortestTextReadsBackExactly) {
  EXPECT_EQ(FormatReal(0.001f), "0.001");
  EXPECT_EQ(FormatReal(0.1), "0.1");
  EXPECT_EQ(FormatReal(1e-5), "1e-05");
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> exponent(-30, 30);
  for (int i = 0; i < 2000; ++i) {
    double d = std::pow(10.0, exponent(gen)) * (i % 2 ? -1 : 1);
    float f = static_cast<float>(d);
    EXPECT_EQ(ParseReal(FormatReal(d)), d) << FormatReal(d);
    EXPECT_EQ(ParseRealFloat(FormatReal(f)), f) << FormatReal(f);
  }
}

TEST(ParseReal, WholeFiniteDecimalNumbersOnly) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1", 1.0},
      {"+1", 1.0},
      {"-1.5", -1.5},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"1E-3", 0.001},
      {"-2.5E+02", -250.0},
      {"0.0", 0.0},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"+-1", std::nullopt},
      {"--1", std::nullopt},
      {"1,5", std::nullopt},
      {"1.000,5", std::nullopt},
      {"1'000", std::nullopt},
      {"0x10", std::nullopt},
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"1e400", std::nullopt},
      {"1e", std::nullopt},
      {"1.2.3", std::nullopt},
      {"e5", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseReal(c.text), c.value) << c.text;
  EXPECT_EQ(ParseRealFloat("1e39"), std::nullopt);
  EXPECT_EQ(ParseRealFloat("0.001"), 0.001f);
}

using NumberTextUnderCommaLocale = testing::CommaLocaleTest;

TEST_F(NumberTextUnderCommaLocale, PointDecimalsBothWays) {
  for (const Conversion& c : kConversions) {
    std::string text = FormatReal(-1234.5678, c.format);
    EXPECT_EQ(text.find(','), std::string::npos) << c.printf_format << ": " << text;
    EXPECT_NE(text.find('.'), std::string::npos) << c.printf_format << ": " << text;
  }
  EXPECT_EQ(FormatReal(0.00025, RealFormat::Exponent(1)), "2.5E-04");
  EXPECT_EQ(FormatReal(0.001f), "0.001");
  EXPECT_EQ(ParseReal("3.5"), 3.5);
  EXPECT_EQ(ParseReal("3,5"), std::nullopt);
  EXPECT_EQ(ParseRealFloat("0.001"), 0.001f);
}

}  // namespace
}  // namespace yl
