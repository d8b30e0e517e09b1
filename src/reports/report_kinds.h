#pragma once
// The four plain-text reports of a simulation and what is fixed about each: the file's
// extension, its save dialog, the help topic, the routine named in its error texts and
// the question asked once it is written.

#include <string>
#include <vector>

#include "core/status.h"

namespace yl::reports {

enum class ReportKind { kSimDetails, kComparison, kIngredients, kWhenRun };

struct ReportKindInfo {
  const char* extension;  // ".dr0", ".DRC", ".dr1", ".dr2"
  const char* title;      // of the save dialog
  const char* filter;
  int help_topic;
  const char* routine;  // tags the error text of a failed write
  const char* written;  // "Report of ... has been written.\r\nDo you want to view ..."
};

const ReportKindInfo& InfoOf(ReportKind kind);

// Writes the report's lines; an empty line is written as a line holding one blank. The
// error is the text-file layer's, tagged with the report's routine.
Status WriteReportFile(const std::string& path, const std::vector<std::string>& lines,
                       ReportKind kind);

}  // namespace yl::reports
