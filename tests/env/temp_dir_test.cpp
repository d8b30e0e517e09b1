#include "env/temp_dir.h"

#include <gtest/gtest.h>

namespace yl {
namespace {

TEST(TempDirName, SuspiciousCharacters) {
  EXPECT_FALSE(IsSuspiciousTempDirName("/home/ann/tmp_1/My-Temp~2"));
  // Where the temporary directory is by default.
  EXPECT_FALSE(IsSuspiciousTempDirName("/home/ann/.cache/SVTEMP/YRLMtemp"));
  EXPECT_TRUE(IsSuspiciousTempDirName("C:\\TEMP"));
  EXPECT_TRUE(IsSuspiciousTempDirName("/tmp/$x"));
}

}  // namespace
}  // namespace yl
