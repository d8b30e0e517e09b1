#pragma once
// Runs a test with the process locale set to one whose decimal separator is ",", the way
// a GUI leaves it after adopting the user's environment, and restores the previous one
// after. Where the locale is not installed the test is skipped with a note, except on CI
// (CI=true), where it fails: scripts/setup-deps.sh generates it.

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_dir.h"

namespace yl::testing {

inline constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Also an IsolatedEnvTest, so that tests writing files have their scratch directory.
class CommaLocaleTest : public IsolatedEnvTest {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::string saved_;
  bool set_ = false;
};

}  // namespace yl::testing
