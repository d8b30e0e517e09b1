#include "reports/report_kinds.h"

#include "platform/text_file.h"

namespace yl::reports {

namespace {

constexpr char kClosureShocksWritten[] =
    "Report of Closure/Shocks page has been written.\r\nDo you want to view the report now?";

constexpr ReportKindInfo kSimDetailsInfo{".dr0",
                                         "Report Closure/Shocks files in Simulation",
                                         "Sim Report files (*.DR0)|*.DR0",
                                         7031,
                                         "WriteReportSimDetails",
                                         kClosureShocksWritten};
constexpr ReportKindInfo kComparisonInfo{
    ".DRC",
    "Report Differences in Closure/Shocks files between Two Simulations",
    "Sim Comparison Report files (*.DRC)|*.DRC",
    7031,
    "CompareTwoSimDetails",
    kClosureShocksWritten};
constexpr ReportKindInfo kIngredientsInfo{
    ".dr1",
    "Report Ingredients of Simulations",
    "Sim Report files (*.DR1)|*.DR1",
    7031,
    "WriteReportIngredients",
    "Report of ingredients has been written.\r\nDo you want to view the report now?"};
constexpr ReportKindInfo kWhenRunInfo{
    ".dr2",
    "Report When Simulations Were Last Run",
    "\"When Run\" Report files (*.DR2)|*.DR2",
    7120,
    "WriteWhenSimsRunReport",
    "Report of When Simulations Were Last Run has been written.\r\nDo you want to view the report "
    "now?"};

}  // namespace

const ReportKindInfo& InfoOf(ReportKind kind) {
  switch (kind) {
    case ReportKind::kSimDetails:
      return kSimDetailsInfo;
    case ReportKind::kComparison:
      return kComparisonInfo;
    case ReportKind::kIngredients:
      return kIngredientsInfo;
    case ReportKind::kWhenRun:
      break;
  }
  return kWhenRunInfo;
}

Status WriteReportFile(const std::string& path, const std::vector<std::string>& lines,
                       ReportKind kind) {
  TextWriter w;
  const std::string routine = InfoOf(kind).routine;
  if (auto s = w.Create(path); !s) return Fail(s.error() + Bracket(routine));
  for (const std::string& line : lines) w.WriteLine(line.empty() ? " " : line);
  if (auto s = w.Close(); !s) return Fail(s.error() + Bracket(routine));
  return Ok();
}

}  // namespace yl::reports
