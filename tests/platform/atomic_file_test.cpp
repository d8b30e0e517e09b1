#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

std::set<std::string> Names(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

void Put(AtomicFile& f, const std::string& text) {
  ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), f.stream()), text.size());
}

TEST(AtomicFile, TargetKeepsItsOldBytesUntilTheCommit) {
  ScratchDir d;
  d.Write("a.har", "old");
  AtomicFile f;
  ASSERT_TRUE(f.Create(d / "a.har", 1 << 16));
  Put(f, "new bytes");
  EXPECT_EQ(d.Read("a.har"), "old");
  EXPECT_EQ(f.Commit(), CommitOutcome::kDone);
  EXPECT_EQ(d.Read("a.har"), "new bytes");
  EXPECT_EQ(Names(d.path()), std::set<std::string>{"a.har"});
}

// Each way of giving up: the old file stays whole and no temporary file is left behind.
TEST(AtomicFile, GivingUpLeavesTheOldFileAndNoTemporary) {
  ScratchDir d;
  d.Write("a.har", "old");
  {
    AtomicFile dropped;
    ASSERT_TRUE(dropped.Create(d / "a.har"));
    Put(dropped, "half");
  }
  AtomicFile discarded;
  ASSERT_TRUE(discarded.Create(d / "a.har"));
  Put(discarded, "half");
  discarded.Discard();
  AtomicFile failed;
  ASSERT_TRUE(failed.Create(d / "a.har"));
  Put(failed, "half");
  failed.MarkFailed();
  EXPECT_EQ(failed.Commit(), CommitOutcome::kWriteFailed);
  EXPECT_EQ(d.Read("a.har"), "old");
  EXPECT_EQ(Names(d.path()), std::set<std::string>{"a.har"});
}

TEST(AtomicFile, RenameOntoADirectoryFailsCleanly) {
  ScratchDir d;
  d.Write("busy/inside.txt", "x");
  AtomicFile f;
  ASSERT_TRUE(f.Create(d / "busy"));
  Put(f, "text");
  EXPECT_EQ(f.Commit(), CommitOutcome::kRenameFailed);
  EXPECT_EQ(Names(d.path()), std::set<std::string>{"busy"});
  EXPECT_EQ(d.Read("busy/inside.txt"), "x");
}

TEST(AtomicFile, CreateFailsInAMissingDirectory) {
  ScratchDir d;
  AtomicFile f;
  EXPECT_FALSE(f.Create(d / "no/such/a.har"));
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.Commit(), CommitOutcome::kWriteFailed);
}

}  // namespace
}  // namespace yl
