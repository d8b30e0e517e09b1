#include "platform/read_at_file.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(ReadAtFile, ReadsAtAnyOffsetWithoutMovingAnything) {
  ScratchDir d;
  ReadAtFile f;
  ASSERT_TRUE(f.Open(d.Write("a.bin", "0123456789")));
  EXPECT_EQ(f.Size(), 10);
  char buf[4] = {};
  ASSERT_EQ(f.ReadExactly(6, buf, 4).kind, ReadAtResult::kDone);
  EXPECT_EQ(std::string(buf, 4), "6789");
  ASSERT_EQ(f.ReadExactly(0, buf, 3).kind, ReadAtResult::kDone);
  EXPECT_EQ(std::string(buf, 3), "012");
  EXPECT_EQ(f.ReadExactly(8, buf, 4).kind, ReadAtResult::kEndOfFile);
}

TEST(ReadAtFile, OnlyRegularFilesOpen) {
  ScratchDir d;
  ReadAtFile f;
  EXPECT_FALSE(f.Open(d / "missing.bin"));
  EXPECT_FALSE(f.Open(d.MakeDir("sub")));
  EXPECT_FALSE(f.Open("/dev/null"));
  EXPECT_FALSE(f.IsOpen());
}

}  // namespace
}  // namespace yl
