#include "env/environment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

TEST(Environment, ForcePrivateDirectoriesCreatesOnlyMissingOnesPrivately) {
  testing::ScratchDir d;
  std::string existing = d.MakeDir("a");
  ::chmod(existing.c_str(), 0755);
  ASSERT_TRUE(ForcePrivateDirectories(existing + "/b/c"));
  struct stat st;
  ASSERT_EQ(::stat((existing + "/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(existing.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_FALSE(ForcePrivateDirectories(""));
  EXPECT_FALSE(ForcePrivateDirectories(d.Write("file", "x") + "/sub"));
}

TEST(Environment, WritabilityTestLeavesNothingBehind) {
  testing::ScratchDir d;
  EXPECT_TRUE(IsWritableDir(d.path()));
  EXPECT_FALSE(FileExists(d / kWriteTestFileName));
  EXPECT_FALSE(IsWritableDir(d / "missing"));
  EXPECT_FALSE(IsWritableDir(""));
  if (::geteuid() != 0) {
    std::string ro = d.MakeDir("ro");
    ::chmod(ro.c_str(), 0500);
    EXPECT_FALSE(IsWritableDir(ro));
  }
}

TEST(Environment, OwnerProbeSeesWorldWritableDirectories) {
  testing::ScratchDir d;
  std::string dir = d.MakeDir("open");
  ::chmod(dir.c_str(), 0777);
  auto info = ProbeDirOwner(dir);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->owned_by_current_user);
  EXPECT_TRUE(info->writable_by_others);
  EXPECT_FALSE(IsPrivateDir(dir, {}));
  ::chmod(dir.c_str(), 0700);
  EXPECT_TRUE(IsPrivateDir(dir, {}));
  EXPECT_FALSE(IsPrivateDir(d / "missing", {}));
}

TEST(Environment, FreeDiskSpaceOfAnExistingDirectory) {
  testing::ScratchDir d;
  auto s = FreeDiskSpace(d.path());
  ASSERT_TRUE(s) << s.error();
  EXPECT_GT(s->total_bytes, 0u);
  EXPECT_LE(s->free_bytes, s->total_bytes);
  EXPECT_FALSE(FreeDiskSpace(d / "missing"));
}

TEST(Environment, FindOnPathTakesTheFirstExecutable) {
  testing::ScratchDir d;
  std::string a = d.MakeDir("a"), b = d.MakeDir("b");
  d.Write("a/tool", "not executable");
  std::string good = d.Write("b/tool", "#!/bin/sh\n");
  ::chmod(good.c_str(), 0755);
  EXPECT_EQ(FindOnPath("tool", a + ":" + b), good);
  EXPECT_EQ(FindOnPath("tool", std::string()), std::nullopt);
  EXPECT_EQ(FindOnPath("other", a + ":" + b), std::nullopt);
}

}  // namespace
}  // namespace yl
