#include "support/comma_locale.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace yl::testing {

void CommaLocaleTest::SetUp() {
  const char* now = std::setlocale(LC_ALL, nullptr);
  saved_ = now ? now : "C";
  if (!std::setlocale(LC_ALL, kCommaLocale)) {
    const char* ci = std::getenv("CI");
    if (ci && std::strcmp(ci, "true") == 0) {
      FAIL() << "The locale " << kCommaLocale
             << " is not installed; run scripts/setup-deps.sh to generate it";
    }
    GTEST_SKIP() << "The locale " << kCommaLocale
                 << " is not installed (scripts/setup-deps.sh generates it)";
  }
  set_ = true;
  // A locale that does not write "," decimals would make every test here pass for nothing.
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5") << kCommaLocale << " does not write comma decimals";
}

void CommaLocaleTest::TearDown() {
  if (set_) std::setlocale(LC_ALL, saved_.c_str());
}

}  // namespace yl::testing
