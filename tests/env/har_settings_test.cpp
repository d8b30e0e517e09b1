#include "env/har_settings.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl {
namespace {

class UseSparseSetting : public testing::IsolatedEnvTest {};

TEST_F(UseSparseSetting, ReadFromTheSolvaraIniFile) {
  std::string cfg = scratch.MakeDir("cfg");
  env.Set("XDG_CONFIG_HOME", cfg);
  EXPECT_EQ(SolvaraSettingsPath(), cfg + "/solvara.ini");
  EXPECT_FALSE(ReadUseSparse());
  scratch.Write("cfg/solvara.ini", "[Solvara]\nUseSparse=1\n");
  EXPECT_TRUE(ReadUseSparse());
  scratch.Write("cfg/solvara.ini", "[Solvara]\nUseSparse=0\n");
  EXPECT_FALSE(ReadUseSparse());
}

// The same lookup as every other XDG folder: a relative value does not count.
TEST_F(UseSparseSetting, FallsBackToTheHomeConfigFolder) {
  std::string home = scratch.MakeDir("home");
  env.Set("HOME", home);
  env.Unset("XDG_CONFIG_HOME");
  EXPECT_EQ(SolvaraSettingsPath(), home + "/.config/solvara.ini");
  env.Set("XDG_CONFIG_HOME", "relative/cfg");
  EXPECT_EQ(SolvaraSettingsPath(), home + "/.config/solvara.ini");
}

}  // namespace
}  // namespace yl
