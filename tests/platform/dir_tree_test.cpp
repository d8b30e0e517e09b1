#include "platform/dir_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(DirTree, LinksAreFoundOnAPathAndNeverFollowedWhenRemoving) {
  ScratchDir d;
  const std::string outside = d.MakeDir("outside");
  d.Write("outside/keep.txt", "kept");
  d.MakeDir("tree/real");
  std::filesystem::create_directory_symlink(outside, d / "tree/link");
  std::filesystem::create_symlink(d / "nowhere", d / "tree/dangling");

  EXPECT_TRUE(IsSymlink(d / "tree/link"));
  EXPECT_FALSE(IsSymlink(d / "tree/real"));
  EXPECT_TRUE(PathExists(d / "tree/dangling"));
  EXPECT_FALSE(PathExists(d / "tree/none"));
  EXPECT_EQ(SymlinkBelow(d / "tree", "link/keep.txt"), d / "tree/link");
  EXPECT_EQ(SymlinkBelow(d / "tree", "real/new/file"), std::nullopt);

  ASSERT_TRUE(RemoveTree(d / "tree"));
  EXPECT_FALSE(PathExists(d / "tree"));
  EXPECT_EQ(testing::ReadFileBytes(d / "outside/keep.txt"), "kept");
}

TEST(DirTree, StagingFoldersAreNewRenamesReplaceFilesAndExecuteBitsFollowReading) {
  ScratchDir d;
  auto a = MakeStagingDirectory(d.path(), ".stage-");
  auto b = MakeStagingDirectory(d.path(), ".stage-");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_TRUE(DirectoryExists(*a));
  EXPECT_FALSE(MakeStagingDirectory(d / "missing", "x"));

  const std::string from = d.Write("from.txt", "new");
  const std::string to = d.Write("to.txt", "old");
  ASSERT_TRUE(RenamePath(from, to));
  EXPECT_EQ(testing::ReadFileBytes(to), "new");
  EXPECT_FALSE(RenamePath(from, to));

  EXPECT_FALSE(IsExecutableFile(to));
  ASSERT_TRUE(SetExecutable(to, true));
  EXPECT_TRUE(IsExecutableFile(to));
  ASSERT_TRUE(SetExecutable(to, false));
  EXPECT_FALSE(IsExecutableFile(to));

  EXPECT_FALSE(RemoveEmptyDirectory(d.path()));
  EXPECT_TRUE(RemoveEmptyDirectory(*a));
}

}  // namespace
}  // namespace yl
