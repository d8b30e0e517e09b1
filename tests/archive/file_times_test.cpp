// "xxfltime.xxx": the exact times of the stored files, and giving them back on restore.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/file_times.h"
#include "core/text_util.h"
#include "platform/file_time.h"
#include "support/scratch_dir.h"

namespace yl::archive {
namespace {

using yl::testing::ScratchDir;

TEST(FileTimesTest, LinesAreSortedStampsOfTimeSizeAndFullName) {
  ScratchDir scratch;
  const std::string b = scratch.Write("b.har", "bbbb");
  const std::string a = scratch.Write("a.har", "aa");
  // Both halves of the time show (a time in 2009).
  ASSERT_TRUE(SetFileTime100ns(a, (std::uint64_t{30000000} << 32) + 5));
  ASSERT_TRUE(SetFileTime100ns(b, 130000000000000000ULL));
  const std::vector<std::string> lines = SplitLines(FileTimesText({b, a}));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "-1395851264 30267983 4 0 " + b);  // 130000000000000000 in halves
  EXPECT_EQ(lines[1], "5 30000000 2 0 " + a);
}

TEST(FileTimesTest, RestoredFilesGetTheirTimesByNameAndSize) {
  ScratchDir scratch;
  const std::string orig = scratch.Write("orig/Data.HAR", "12345");
  const std::string other = scratch.Write("orig/other.txt", "abc");
  const std::uint64_t t1 = 133000000001234567ULL, t2 = 133000000009999999ULL;
  ASSERT_TRUE(SetFileTime100ns(orig, t1));
  ASSERT_TRUE(SetFileTime100ns(other, t2));
  const std::string text = FileTimesText({orig, other});

  const std::string same = scratch.Write("new/data.har", "54321");     // same size, other case
  const std::string changed = scratch.Write("new/other.txt", "abcd");  // another size
  const std::uint64_t before = *FileTime100ns(changed);
  Notices notices;
  EXPECT_EQ(RestoreFileTimes(text, {same, changed}, notices), 1);
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(*FileTime100ns(same), t1);
  EXPECT_EQ(*FileTime100ns(changed), before);
}

}  // namespace
}  // namespace yl::archive
