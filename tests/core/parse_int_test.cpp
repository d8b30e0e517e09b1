#include <gtest/gtest.h>

#include "core/text_util.h"

namespace yl {
namespace {

TEST(ParseInt, WholeDecimalIntegersOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"42", 42},
      {"-7", -7},
      {"+3", 3},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1x", std::nullopt},
      {";", std::nullopt},
      {"0x10", std::nullopt},
      {"1.0", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace yl
