#pragma once
// "yearloom report": the reports of the File and Tasks menus written without asking, for
// people who script their runs. The report goes to the file named with -o (taken from the
// current directory), else to the default report file in the working directory; its path
// is printed. Only the report file is written.

#include <string>

#include "app/check_mode.h"
#include "reports/report_kinds.h"

namespace yl {

struct ReportRequest {
  reports::ReportKind kind = reports::ReportKind::kSimDetails;
  std::string sim_details;  // a ".ds1" (relative to current_dir); "" the last session
  std::string other;        // compare: the second simulation's ".ds1"
  std::string output;       // "" the default report file
};

inline constexpr int kReportWritten = 0;
inline constexpr int kReportError = 2;

// The path goes to env.out, what went wrong to env.err.
int RunReportMode(const ReportRequest& request, const CheckEnvironment& env);

}  // namespace yl
