#include "harfile/har_framing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "har_test_util.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using ::testing::HasSubstr;

// A two-header file in either framing, as a solve writes its outputs.
std::string TwoHeaders(testing::ScratchDir& d, bool fujitsu) {
  const std::string path = d / (fujitsu ? "fuji.har" : "lahey.har");
  {
    testing::Crafter c(path, fujitsu);
    c.Name("AAAA");
    c.Desc("1C", "FULL", "names", {2, 1, 4});
    c.Raw(std::string(4, ' ') + "one two ");
    c.Name("BBBB");
    c.Desc("2I", "FULL", "ints", {1, 3, 1});
    std::int32_t values[3] = {1, 2, 3};
    c.Ints({1, 3, 1}, values, 3);
  }
  return path;
}

void CutTo(const std::string& path, std::uintmax_t size) {
  std::filesystem::resize_file(path, size);
}

TEST(CheckHarFraming, WholeFilesPassAndCutOnesFailInBothFramings) {
  for (bool fujitsu : {false, true}) {
    SCOPED_TRACE(fujitsu ? "Fujitsu" : "Lahey");
    testing::ScratchDir d;
    const std::string path = TwoHeaders(d, fujitsu);
    ASSERT_TRUE(CheckHarFraming(path)) << CheckHarFraming(path).error();
    const auto size = std::filesystem::file_size(path);
    // Cut inside the last record, and cut by one byte.
    for (std::uintmax_t cut : {size - 1, size - 7}) {
      const std::string copy = d / ("cut" + std::to_string(cut));
      std::filesystem::copy_file(path, copy);
      CutTo(copy, cut);
      auto s = CheckHarFraming(copy);
      EXPECT_FALSE(s) << cut;
      if (!s) {
        EXPECT_THAT(s.error(), HasSubstr(copy));
      }
    }
  }
}

TEST(CheckHarFraming, AFileCutAfterAHeaderNameOrEmptyOrMissingFails) {
  testing::ScratchDir d;
  const std::string named = d / "named.har";
  {
    testing::Crafter c(named, false);
    c.Name("AAAA");
    c.Desc("1C", "FULL", "names", {2, 1, 4});
    c.Raw(std::string(4, ' ') + "one two ");
    c.Name("BBBB");
  }
  EXPECT_THAT(CheckHarFraming(named).error(), HasSubstr("the last header has no data"));
  const std::string empty = d.Write("empty.har", "");
  EXPECT_FALSE(CheckHarFraming(empty));
  EXPECT_FALSE(CheckHarFraming(d / "missing.har"));
}

}  // namespace
}  // namespace yl
