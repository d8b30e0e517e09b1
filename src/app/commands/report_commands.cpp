#include "app/commands/report_commands.h"

#include "app/commands/run_checks_commands.h"
#include "app/commands/sim_details_commands.h"
#include "app/dialogs/report_file_dialog.h"
#include "app/run_units.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "reports/ingredients_report.h"
#include "reports/when_run_report.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"

namespace yl {

using reports::ReportKind;

std::vector<std::string> SessionReportLines(ReportKind kind, const Session& session) {
  const TSimRecord& sim = session.sim;
  const SessionSettings& s = session.settings;
  switch (kind) {
    case ReportKind::kSimDetails:
      return reports::SimDetailsSectionLines(sim, s.options.NoRerun);
    case ReportKind::kIngredients:
      return reports::IngredientsReportLines(sim, s, FirstPolicyPeriod(sim, s));
    case ReportKind::kWhenRun: {
      const records::Timeline t = RecordTimeline(sim, s, FirstPolicyPeriod(sim, s));
      return reports::WhenRunReportLines(KeptRunRecords(sim, s), t, sim);
    }
    case ReportKind::kComparison:
      break;
  }
  throw InternalError("[SessionReportLines] A comparison needs a second simulation");
}

Status WriteSessionReport(ReportKind kind, const Session& session, const std::string& path) {
  return reports::WriteReportFile(path, SessionReportLines(kind, session), kind);
}

Result<ScratchSimDetails> LoadScratchSimDetails(const std::string& ds1_path,
                                                const std::string& keep_dir) {
  if (!FileExists(ds1_path)) return Fail("DS1 file: " + ds1_path + " does not exist");
  const std::string ds2 = SimStoreFile(ds1_path);
  if (!FileExists(ds2)) return Fail("Associated file " + ds2 + " does not exist.");
  ScratchSimDetails scratch;
  scratch.sim = CreateSimRecord();
  SetDefaultSimulation(*scratch.sim, DirOfFile(ds1_path));
  SessionSettings settings;
  LoadChoice simulation;
  simulation.part = LoadPart::kSimDetails;
  // Nothing of the current setup and no run record is changed.
  const SimDetailsContext ctx{keep_dir, true, false};
  Notices notices;
  if (auto loaded = LoadSimDetails(ds1_path, simulation, settings, *scratch.sim, ctx, notices);
      !loaded) {
    return Fail(loaded.error());
  }
  scratch.no_rerun = settings.options.NoRerun;
  return scratch;
}

Status WriteComparisonReport(const reports::ComparedSim& first, const reports::ComparedSim& second,
                             const std::string& path) {
  return reports::WriteReportFile(path, reports::SimComparisonLines(first, second),
                                  ReportKind::kComparison);
}

namespace {

// After a report was written: offers to open it.
std::optional<std::string> OfferToView(ReportKind kind, const std::string& path,
                                       Prompter& prompter) {
  const reports::ReportKindInfo& info = reports::InfoOf(kind);
  if (prompter.Information(info.written, info.help_topic, kYes | kNo | kHelp) == kYes) return path;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReportCommand(ReportKind kind, const Session& session,
                                         Prompter& prompter) {
  const std::optional<std::string> path =
      ChooseReportFile(kind, session.sim, session.settings, prompter);
  if (!path) return std::nullopt;
  // The user asked for the file: a failure to write it is said, not kept quiet.
  Status w = Ok();
  try {
    w = WriteSessionReport(kind, session, *path);
  } catch (const InternalError& e) {
    w = Fail(e.UserText());
  }
  if (!w) {
    prompter.Error(w.error());
    return std::nullopt;
  }
  return OfferToView(kind, *path, prompter);
}

std::optional<std::string> CompareTwoSimDetailsCommand(const Session& session, Prompter& prompter) {
  const std::string& work = session.sim.SimDir;
  const std::string again = "Please try again.";
  auto first = ChooseSimDetailsFile("First Sim Details File", work, again, prompter);
  if (!first) return std::nullopt;
  auto second = ChooseSimDetailsFile("Second Sim Details File", DirOfFile(*first), again, prompter);
  if (!second) return std::nullopt;
  const std::string routine = Bracket(reports::InfoOf(ReportKind::kComparison).routine);
  const std::string& keep = session.settings.paths.keep_dir;
  auto a = LoadScratchSimDetails(*first, keep);
  if (!a) {
    prompter.Error(a.error() + routine);
    return std::nullopt;
  }
  auto b = LoadScratchSimDetails(*second, keep);
  if (!b) {
    prompter.Error(b.error() + routine);
    return std::nullopt;
  }
  const std::optional<std::string> path =
      ChooseReportFile(ReportKind::kComparison, session.sim, session.settings, prompter);
  if (!path) return std::nullopt;
  if (auto w = WriteComparisonReport(a->Compared(), b->Compared(), *path); !w) {
    prompter.Error(w.error());
    return std::nullopt;
  }
  return OfferToView(ReportKind::kComparison, *path, prompter);
}

}  // namespace yl
