#include "env/dir_source.h"

#include <gtest/gtest.h>

#include "env/environment.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

class DirSourceTest : public testing::IsolatedEnvTest {};

TEST_F(DirSourceTest, LinuxValuesOfEverySource) {
  const std::string s = scratch.path();
  DirSourceContext c{s + "/named/", "/opt/yl/bin"};
  struct Case {
    int source;
    std::string value;
  };
  const Case cases[] = {
      {kNamedFolder, s + "/named"},
      {kWindowsFolder, ""},
      {kTmpFolder, s + "/tmp"},
      {kTempFolder, s + "/tmp"},
      {kHomePathFolder, s + "/home"},
      {kSystemDrive, "/"},
      {kSvTempFolder, s + "/svtemp"},
      {kSvKeepFolder, s + "/svkeep"},
      {kFixedTemp, s + "/home/.cache"},
      {kSvDirFolder, ""},
      {kFixedSv, "/opt/solvara"},
      {kUserFolder, s + "/home/.local/share"},
      {kAppDataFolder, s + "/home/.config"},
      {kApplicationFolder, "/opt/yl/bin"},
      {kFixedRoot, "/"},
  };
  for (const Case& k : cases) {
    auto v = DirSourceValue(k.source, c);
    ASSERT_TRUE(v) << k.source;
    EXPECT_EQ(*v, k.value) << DirSourceName(k.source);
  }
  EXPECT_EQ(*DirSourceValue(kCurrentDirectory, c), ProcessCurrentDirectory());
  EXPECT_EQ(DirSourceValue(-1, c).error(), "program error: unexpected case of sdt");
  EXPECT_EQ(DirSourceValue(16, c).error(), "program error: unexpected case of sdt");
}

TEST_F(DirSourceTest, XdgDefaultsFollowHome) {
  env.Unset("XDG_CACHE_HOME");
  env.Unset("XDG_DATA_HOME");
  env.Set("XDG_CONFIG_HOME", "relative/ignored");
  env.Set("HOME", "/home/someone");
  EXPECT_EQ(*DirSourceValue(kFixedTemp, {}), "/home/someone/.cache");
  EXPECT_EQ(*DirSourceValue(kUserFolder, {}), "/home/someone/.local/share");
  EXPECT_EQ(*DirSourceValue(kAppDataFolder, {}), "/home/someone/.config");
}

TEST_F(DirSourceTest, TmpFallsBackToTmpdirAndOverlongCountsAsUndefined) {
  env.Unset("TMP");
  env.Set("TMPDIR", "/var/tmp");
  EXPECT_EQ(*DirSourceValue(kTmpFolder, {}), "/var/tmp");
  env.Set("SVTEMP", "/" + std::string(2046, 'a'));  // 2047 characters still fit
  EXPECT_EQ(DirSourceValue(kSvTempFolder, {})->size(), 2047u);
  env.Set("SVTEMP", "/" + std::string(2047, 'a'));
  EXPECT_EQ(*DirSourceValue(kSvTempFolder, {}), "");
}

TEST(NormaliseDirValue, TrimsAndDropsOneTrailingSeparator) {
  EXPECT_EQ(NormaliseDirValue("  /a/b/  "), "/a/b");
  EXPECT_EQ(NormaliseDirValue("/"), "/");
  EXPECT_EQ(NormaliseDirValue("   "), "");
  EXPECT_EQ(NormaliseDirValue("/a/./b/../c"), "/a/c");
  EXPECT_EQ(NormaliseDirValue("rel"), ProcessCurrentDirectory() + "/rel");
}

}  // namespace
}  // namespace yl
