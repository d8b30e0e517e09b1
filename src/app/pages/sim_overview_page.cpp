#include "app/pages/sim_overview_page.h"

#include <algorithm>
#include <chrono>

#include "app/commands/re_commands.h"
#include "app/commands/sim_details_commands.h"
#include "app/pages/sim_overview.h"
#include "cmf/sol_method.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/sim_details.h"
#include "sim/sim_editing.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

constexpr int kHelpMappingFile = 7009;

}  // namespace

std::string SimNameCaption(int run) {
  switch (run) {
    case kBase:
      return "Base Case  [B]";
    case kRerun:
      return "Base Rerun  [R]";
    default:
      return "Policy  [P]";
  }
}

SimOverviewPage::SimOverviewPage(Session& session, Prompter& prompter, Hooks hooks)
    : session_(session), prompter_(prompter), hooks_(std::move(hooks)) {}

SimOverviewFields SimOverviewPage::View() const {
  const TSimRecord& sim = session_.sim;
  const SessionSettings& s = session_.settings;
  SimOverviewFields v;
  v.first_year = FirstSimYearText(sim);
  v.starting_data_note =
      "(i.e., Start from data for year " + std::to_string(sim.FirstYear - 1) + ")";
  v.num_years = std::to_string(sim.NumYears);
  v.ending_note =
      "(i.e., End with data for year " + std::to_string(sim.FirstYear + sim.NumYears - 1) + ")";
  v.period_lengths = PeriodLengthTexts(sim);
  for (int k = 1; k <= sim.NumYears; ++k) v.period_length_values.push_back(sim.LengthPeriods[k]);
  for (int run = kBase; run <= kPolicy; ++run) {
    v.name_captions[run] = SimNameCaption(run);
    v.names[run] = sim.SimNames[run];
  }
  v.rerun_shown = !s.options.NoRerun;
  v.working_dir = sim.SimDir;
  v.mapping_file = s.options.ResultsMapFile;
  v.solution_method = SolMethodDescription(s.methods.Normal.Method);
  v.mapping_button = v.mapping_file.empty() ? "Select" : "Change";
  v.mapping_edit_enabled = !v.mapping_file.empty();
  const ReSettings& re = s.options.Re;
  v.re_visible = s.re_available && !s.options.HideRe;
  v.do_re = re.DoRe;
  v.re_iterations = {0, re.BaseIterations, re.RerunIterations, re.PolicyIterations};
  v.re_rerun_enabled = re.SeveralIterationsOnRerun && !s.options.NoRerun;
  v.re_policy_start = re.PolicyStartYears;
  if (re.DoRe) {
    PolicyStartSettings ps;
    ps.ModelSelected = !s.model.ModelFile.empty();
    ps.DoRationalExpectations = true;
    ps.YearsBeforeFirstShock = re.PolicyStartYears;
    const PolicyStart start = PolicyStartSim(sim, kPolicy, ps);
    // The year is told only when there is one to start with.
    v.re_policy_start_note = kPolicyStartAfter;
    if (!start.Refused) {
      v.re_policy_start_note +=
          " (ie, with sim for " + std::to_string(sim.Years[start.Period]) + ")";
    }
  }
  return v;
}

bool SimOverviewPage::EditFirstYear(std::string_view text) {
  auto r = EditFirstSimYear(session_.sim, text);
  if (!r) {
    prompter_.Error(r.error());
    return false;
  }
  return TableSetup(session_.sim, session_.settings.options.NoRerun, prompter_).has_value();
}

bool SimOverviewPage::EditNumYears(std::string_view text) {
  auto r = EditNumberOfPeriods(session_.sim, text);
  if (!r) {
    prompter_.Error(r.error());
    return false;
  }
  return TableSetup(session_.sim, session_.settings.options.NoRerun, prompter_).has_value();
}

bool SimOverviewPage::SetPeriodLength(int period, int length) {
  if (!yl::SetPeriodLength(session_.sim, period, length)) return false;
  return TableSetup(session_.sim, session_.settings.options.NoRerun, prompter_).has_value();
}

void SimOverviewPage::EditName(int run, std::string_view text, bool use_patterns) {
  SimNameEditSettings settings;
  settings.UsePatterns = use_patterns;
  settings.NoRerun = session_.settings.options.NoRerun;
  settings.ModelName = session_.settings.model.ModelName;
  EditSimName(session_.sim, run, text, settings, prompter_);
}

void SimOverviewPage::ChangeWorkingDirectory() {
  DirectoryRequest r;
  r.caption = "Working Directory";
  r.label = "The directory of the simulation's closure, shock, data and result files";
  r.start_dir = session_.sim.SimDir;
  auto dir = prompter_.ChooseDirectory(r);
  if (!dir || dir->empty()) return;
  if (!DirectoryExists(*dir)) {
    prompter_.Error("Directory " + *dir + " does not exist.");
    return;
  }
  session_.sim.SimDir = RemoveTrailingSep(*dir);
  RecomputeCMFNames(session_.sim);
}

void SimOverviewPage::ChooseMappingFile() {
  FileRequest r;
  r.title = "Mapping File for Results";
  r.filter = "Mapping files|*.map|All files|*";
  r.start_dir = session_.sim.SimDir;
  r.help_topic = kHelpMappingFile;
  auto files = prompter_.ChooseFiles(r);
  if (!files.empty()) session_.settings.options.ResultsMapFile = files.front();
}

void SimOverviewPage::EditMappingFile() {
  const std::string& map = session_.settings.options.ResultsMapFile;
  if (map.empty()) {
    prompter_.Information(
        "Name of Result Mapping file has not been specified - see the Sim Overview page.");
    return;
  }
  if (!hooks_.open_in_editor) return;
  if (auto s = hooks_.open_in_editor(map); !s) prompter_.Error(s.error());
}

void SimOverviewPage::SaveSimDetails() {
  SimDetailsContext ctx{session_.settings.paths.keep_dir, false};
  auto saved = yl::SaveSimDetails(session_.settings, session_.sim, ctx, prompter_);
  if (saved && hooks_.saved) hooks_.saved(*saved);
}

void SimOverviewPage::LoadSimDetails() {
  auto path = ChooseSimDetailsToLoad(session_.sim.SimDir, prompter_);
  if (path && hooks_.load) hooks_.load(*path);
}

void SimOverviewPage::EditSimDescription() {
  const std::string& ds1 = session_.settings.sim_details_file;
  if (ds1.empty()) {
    prompter_.Information(
        "Please save the Sim Details first: the description is kept beside them.");
    return;
  }
  auto path = PrepareSimDescription(ds1, session_.sim, session_.settings.options.NoRerun,
                                    std::chrono::system_clock::now(), prompter_);
  if (!path) return;
  if (hooks_.open_in_editor) {
    if (auto s = hooks_.open_in_editor(*path); !s) prompter_.Error(s.error());
  }
}

}  // namespace yl

namespace yl {

bool SimOverviewPage::ChangeSolutionMethod() {
  if (!hooks_.run_method_dialog) return false;
  auto changed = hooks_.run_method_dialog(session_.settings.methods.Normal, false);
  if (!changed) return false;
  session_.settings.methods.Normal = *changed;
  return true;
}

void SimOverviewPage::OmitPeriods() {
  if (hooks_.omit_periods) hooks_.omit_periods();
}

void SimOverviewPage::SetDoRationalExpectations(bool on) {
  ReSettings& re = session_.settings.options.Re;
  re.DoRe = on;
}

void SimOverviewPage::SetReIterations(int run, int count) {
  ReSettings& re = session_.settings.options.Re;
  const int n = std::clamp(count, 1, 99);
  if (run == kBase) re.BaseIterations = n;
  if (run == kRerun) SetRerunIterations(session_, prompter_, n);
  if (run == kPolicy) re.PolicyIterations = n;
}

void SimOverviewPage::SetRePolicyStart(int years) {
  session_.settings.options.Re.PolicyStartYears = std::clamp(years, 0, 99);
}

}  // namespace yl
