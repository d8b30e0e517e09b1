#include "reports/report_kinds.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl::reports {
namespace {

TEST(ReportFile, EmptyLinesHoldOneBlank) {
  testing::ScratchDir dir;
  const std::string path = dir / "r.dr0";
  ASSERT_TRUE(WriteReportFile(path, {"Title", "", "  body", ""}, ReportKind::kSimDetails));
  EXPECT_EQ(testing::ReadFileBytes(path), "Title\n \n  body\n \n");
}

TEST(ReportFile, AFileThatCannotBeCreatedNamesTheReport) {
  testing::ScratchDir dir;
  const std::string path = dir / "no such dir/r.txt";
  struct Case {
    ReportKind kind;
    const char* routine;
  };
  const Case cases[] = {{ReportKind::kSimDetails, "[WriteReportSimDetails]"},
                        {ReportKind::kComparison, "[CompareTwoSimDetails]"},
                        {ReportKind::kIngredients, "[WriteReportIngredients]"},
                        {ReportKind::kWhenRun, "[WriteWhenSimsRunReport]"}};
  for (const Case& c : cases) {
    const Status s = WriteReportFile(path, {"x"}, c.kind);
    ASSERT_FALSE(s) << c.routine;
    EXPECT_EQ(s.error(), "Cannot create file " + path + "[TxtCreate]" + c.routine);
  }
}

}  // namespace
}  // namespace yl::reports
