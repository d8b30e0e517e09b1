#pragma once
// The reports of the File and Tasks menus: "Write Report of Closure/Shocks page",
// "Compare Two Lots of Closure/Shocks files", "Write Report of all &Ingredients", "Write
// Report Showing When Sims Were Last Run" and "When Were Sims Last Run ?". Each asks for
// the report file, writes it and offers to open it; "yearloom report" writes the same
// files without asking.

#include <memory>
#include <optional>
#include <string>

#include "app/session.h"
#include "core/prompter.h"
#include "core/status.h"
#include "reports/report_kinds.h"
#include "reports/sim_details_report.h"

namespace yl {

// The lines of the Sim Details, ingredients or when-run report of the session (the
// when-run report from the run records kept beside the Sim Details).
std::vector<std::string> SessionReportLines(reports::ReportKind kind, const Session& session);
Status WriteSessionReport(reports::ReportKind kind, const Session& session,
                          const std::string& path);

// A saved simulation read for a comparison; the current one is not touched.
struct ScratchSimDetails {
  std::unique_ptr<TSimRecord> sim;
  bool no_rerun = false;
  reports::ComparedSim Compared() const { return {*sim, no_rerun}; }
};
// Reads the ".ds1" (its simulation part) and the ".ds2" beside it, and brings the record
// up to date. The ".ds1" and ".ds2" must exist; the error says which one is missing.
Result<ScratchSimDetails> LoadScratchSimDetails(const std::string& ds1_path,
                                                const std::string& keep_dir);
Status WriteComparisonReport(const reports::ComparedSim& first, const reports::ComparedSim& second,
                             const std::string& path);

// The menu commands. They return the report file when the user wants to view it (the
// window opens it in the editor); nullopt when cancelled, declined or failed (a failure is
// shown as an error).
std::optional<std::string> ReportCommand(reports::ReportKind kind, const Session& session,
                                         Prompter& prompter);
std::optional<std::string> CompareTwoSimDetailsCommand(const Session& session, Prompter& prompter);

}  // namespace yl
