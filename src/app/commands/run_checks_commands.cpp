#include "app/commands/run_checks_commands.h"

#include <algorithm>

#include "app/run_units.h"
#include "app/tasks.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "sim/sim_naming.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr int kHelpWhereToStart = 7401;
constexpr int kHelpResultsOk = 7402;

struct BoxName {
  const char* name;
  unsigned box;
  const char* label;
};
constexpr BoxName kBoxes[] = {
    {"solution", records::kSolutionFiles, "Solution Files ?"},
    {"slc", records::kSlcFiles, "SLC Files (needed by Deepro) ?"},
    {"updated", records::kUpdatedFiles, "Updated Data Files ?"},
    {"other", records::kOtherOutputFiles,
     "Other Output Data Files (produced via WRITE statements) ?"},
    {"ss", records::kSpreadsheetFiles,
     "Year-on-Year and Cumulative Speadsheets and Cumulative Results RSL files ?"},
    {"dev", records::kDeviationFiles,
     "Policy Deviation Spreadsheets and Cumulative Differences RSL file?"},
    {"log", records::kLogFiles, "LOG files from simulations"},
    {"bot", records::kBotFiles, "BOT files used for in Policy and Rerun"},
    {"sol", records::kSolFiles, "SOL files used for Shocks in Policy and Rerun"},
};

std::vector<int> RunsShown(bool two_run_mode) {
  return two_run_mode ? std::vector<int>{kBase, kPolicy} : std::vector<int>{kBase, kRerun, kPolicy};
}

Status InitialCheck(const TSimRecord& sim, const SessionSettings& s, const char* refusal) {
  if (auto c = CheckShortNamesDataCMFBits(sim, s.first_year_files); !c) {
    return Fail(c.error() + "\r\n" + refusal);
  }
  return Ok();
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

void AddReasons(std::vector<std::string>& lines, const std::vector<std::string>& reasons) {
  lines.push_back("Reasons:");
  for (const std::string& r : reasons) lines.push_back(r);
}

bool LeftToDo(const records::Starts& s, const records::Timeline& t) {
  for (int r = kBase; r <= kPolicy; ++r) {
    if (t.RunUsed(r) && s.run[r].year <= t.num_years + 1) return true;
  }
  return false;
}

}  // namespace

records::RunRecords KeptRunRecords(const TSimRecord& sim, const SessionSettings& s) {
  records::RunRecords r;
  const bool no_rerun = s.options.NoRerun;
  for (int run = kBase; run <= kPolicy; ++run) {
    if (run == kRerun && no_rerun) continue;
    const std::string copy = RunBookkeepingCopyFile(sim, s.model.ModelName, run, no_rerun);
    if (!FileExists(copy)) continue;
    auto ini = IniFile::Load(copy);
    if (ini && ini->ReadInt("Options", "YearloomVersion", 0) >= 300) r.of[run] = std::move(*ini);
  }
  return r;
}

namespace {

PolicyStart QuietPolicyStartOf(const TSimRecord& sim, const SessionSettings& s) {
  PolicyStartSettings p;
  p.ModelSelected = HasModel(s.model);
  p.DoRationalExpectations = s.re_available && s.options.Re.DoRe;
  p.YearsBeforeFirstShock = s.options.Re.PolicyStartYears;
  return PolicyStartSim(sim, kPolicy, p);
}

}  // namespace

int QuietPolicyStart(const TSimRecord& sim, const SessionSettings& s) {
  return QuietPolicyStartOf(sim, s).Period;
}

int FirstPolicyPeriod(const TSimRecord& sim, const SessionSettings& s) {
  const PolicyStart start = QuietPolicyStartOf(sim, s);
  return start.Refused ? sim.NumYears + 1 : start.Period;
}

Result<RunChecksReport> WhereToStartReport(const TSimRecord& sim, const SessionSettings& s,
                                           WhereToStartMode mode) {
  if (auto c = InitialCheck(sim, s, kNotCheckingWhereToStart); !c) return Fail(c.error());
  const int policy_start = QuietPolicyStart(sim, s);
  const records::Timeline t = RecordTimeline(sim, s, policy_start);
  const records::RunRecords kept = KeptRunRecords(sim, s);
  RunChecksReport report;
  report.sequence_starts = records::FirstNotInSequence(kept, t);
  report.starts = report.sequence_starts;
  const bool prerequisites = mode == WhereToStartMode::kSameIfRunAgain;
  if (prerequisites) {
    UnitLookups lookups;
    records::StartsStillOk(
        report.starts, kept, t, records::kWhereToStartResults,
        [&](const records::UnitRef& u) { return DescribeUnit(sim, s, policy_start, u, &lookups); });
  }
  std::vector<std::string> lines;
  lines.push_back(prerequisites
                      ? "Where to Start?. Taking account of prerequisites.\r\n That is, \"Would "
                        "the Results be the Same if you Run the jobs Again?\"\r\nThe report below "
                        "takes account of prerequisites (input files) and of\r\n completion of "
                        "the jobs in sequence."
                      : "Where to Start?. Just based on completion of jobs in sequence.\r\nThe "
                        "report below does not take account of prerequisites being ok, so does "
                        "not\r\n indicate whether or not the results would be the same if you "
                        "were to run again.");
  const int n = t.num_years;
  const int base_start = report.starts.run[kBase].year;
  for (int r : RunsShown(t.two_run_mode)) {
    const int start = report.starts.run[r].year;
    std::string line = RunWord(r) + ": ";
    if (start <= n) {
      line += "Start at " + records::SimulationText(t, r, start);
      if (r != kBase && start == base_start) {
        line += " but\r\n      only after this year of the Base has been run.";
      }
    } else if (start == n + 1) {
      line += "Start at Spreadsheet job";
    } else {
      line += prerequisites
                  ? "Completed in sequence. Results would be the same if you were to run the "
                    "jobs again."
                  : "All completed in sequence.";
    }
    lines.push_back(line);
  }
  AddReasons(lines, report.starts.reasons);
  report.left_to_do = LeftToDo(report.starts, t);
  report.text = Join(lines);
  return report;
}

Result<RunChecksReport> ResultsOkReport(const TSimRecord& sim, const SessionSettings& s,
                                        ResultsOkMode mode, unsigned boxes) {
  if (auto c = InitialCheck(sim, s, kNotCheckingResultsOk); !c) return Fail(c.error());
  const int policy_start = QuietPolicyStart(sim, s);
  const records::Timeline t = RecordTimeline(sim, s, policy_start);
  const records::RunRecords kept = KeptRunRecords(sim, s);
  UnitLookups lookups;
  auto describe = [&](const records::UnitRef& u) {
    return DescribeUnit(sim, s, policy_start, u, &lookups);
  };
  RunChecksReport report;
  const int n = t.num_years;
  std::vector<std::string> lines;
  if (mode == ResultsOkMode::kSameIfRunAgain) {
    report.sequence_starts = records::FirstNotInSequence(kept, t);
    report.starts = report.sequence_starts;
    records::StartsStillOk(report.starts, kept, t, boxes, describe);
    lines.push_back(
        "Results OK. Would the specified Results be the Same if you Run the jobs Again?\r\nThe "
        "report below is based on completion of the jobs in sequence.\r\nIt has checked if the "
        "results would be the same if you were to run again\r\n by checking that the "
        "prerequisites (input files) are still ok.");
  } else {
    // Only the outputs as they were made: no sequence, no inputs.
    records::Starts& st = report.starts;
    for (int r : RunsShown(t.two_run_mode)) {
      st.run[r] = {n + 2, ""};
      for (int y = t.FirstSimulable(r); y <= n + 1; ++y) {
        const records::UnitRef u{static_cast<Run>(r), y,
                                 y > n ? records::UnitKind::kSpreadsheet : records::UnitKind::kSim};
        const records::Completion c = records::CompletedAt(kept, t, u);
        std::vector<std::string> reasons;
        if (!c.stamp) {
          reasons.push_back(c.reason);
        } else {
          reasons = records::StillOk(kept, describe(u), boxes, true);
        }
        if (reasons.empty()) continue;
        st.run[r] = {y, reasons.front()};
        st.reasons.insert(st.reasons.end(), reasons.begin(), reasons.end());
        break;
      }
    }
    report.sequence_starts = st;
    lines.push_back(
        "Results OK. Are the specified Results the Same as when they were last Created?\r\nThe "
        "report below does NOT take into account completion of the jobs in sequence.\r\nIt does "
        "NOT take account of prerequisites being ok, so does not\r\n indicate whether or not the "
        "results would be the same if you were to run again.");
  }
  for (int r : RunsShown(t.two_run_mode)) {
    const int start = report.starts.run[r].year;
    std::string line = RunWord(r) + ": ";
    if (start <= n) {
      line += "Results you asked to be checked are ok up to the " +
              records::SimulationText(t, r, start);
    } else if (start == n + 1) {
      line +=
          "Results you asked to be checked are ok for all simulations but not for the "
          "Spreadsheet job";
    } else {
      line += "All results you asked to be checked are ok";
    }
    lines.push_back(line);
  }
  AddReasons(lines, report.starts.reasons);
  report.left_to_do = LeftToDo(report.starts, t);
  report.text = Join(lines);
  return report;
}

std::string BaseNotCompleted(const TSimRecord& sim, const SessionSettings& s, int n) {
  const records::Timeline t = RecordTimeline(sim, s, QuietPolicyStart(sim, s));
  const records::RunRecords kept = KeptRunRecords(sim, s);
  for (int y = 1; y <= std::min(n, t.num_years); ++y) {
    const records::UnitRef u{kBase, y, records::UnitKind::kSim};
    if (!records::CompletedAt(kept, t, u).stamp || !records::InSequence(kept, t, u).empty()) {
      return records::SimulationText(t, kBase, y);
    }
  }
  return "";
}

jobs::PlanRequest PlanFromStarts(const records::Starts& starts, const records::Timeline& t) {
  const int n = t.num_years;
  jobs::PlanRequest plan = jobs::PlanRequest::Nothing(n);
  for (int r = kBase; r <= kPolicy; ++r) {
    if (!t.RunUsed(r)) continue;
    const int start = starts.run[r].year;
    if (start <= n) {
      plan.first_sim_year[r] = start;
      plan.last_sim_year[r] = n;
    }
    if (start <= n + 1) {
      plan.first_ss_year[r] = 1;
      plan.last_ss_year[r] = n;
    }
  }
  return plan;
}

CheckListRequest WhichResultsToCheck(bool sol_files_in_use) {
  CheckListRequest r;
  r.caption = "Which Results to Check";
  for (const BoxName& b : kBoxes) {
    if (b.box == records::kSolFiles && !sol_files_in_use) continue;
    r.items.push_back(b.label);
    // The log, BOT and SOL boxes start unticked.
    r.checked.push_back(b.box != records::kLogFiles && b.box != records::kBotFiles &&
                        b.box != records::kSolFiles);
  }
  r.help_topic = kHelpResultsOk;
  return r;
}

unsigned BoxesFromChecks(const std::vector<bool>& checked, bool sol_files_in_use) {
  unsigned boxes = 0;
  std::size_t i = 0;
  for (const BoxName& b : kBoxes) {
    if (b.box == records::kSolFiles && !sol_files_in_use) continue;
    if (i < checked.size() && checked[i]) boxes |= b.box;
    ++i;
  }
  return boxes;
}

Result<unsigned> BoxesFromNames(const std::string& comma_list) {
  unsigned boxes = 0;
  std::string unknown;
  std::size_t from = 0;
  while (from <= comma_list.size()) {
    std::size_t comma = comma_list.find(',', from);
    if (comma == std::string::npos) comma = comma_list.size();
    const std::string name = LowerCase(Trim(comma_list.substr(from, comma - from)));
    from = comma + 1;
    if (name.empty()) continue;
    if (name == "all") {
      boxes |= records::kAllResults;
      continue;
    }
    auto it = std::find_if(std::begin(kBoxes), std::end(kBoxes),
                           [&](const BoxName& b) { return name == b.name; });
    if (it == std::end(kBoxes)) {
      unknown += (unknown.empty() ? "" : ", ") + name;
    } else {
      boxes |= it->box;
    }
  }
  if (!unknown.empty()) {
    return Fail("Unknown result kind(s): " + unknown +
                ". Known: solution, slc, updated, other, ss, dev, log, bot, sol, all.");
  }
  return boxes;
}

void WhereToStartCommand(const Session& session, Prompter& prompter, WhereToStartMode mode,
                         bool big_job_running,
                         const std::function<void(const jobs::PlanRequest&)>& start_big_job) {
  const TSimRecord& sim = session.sim;
  const SessionSettings& s = session.settings;
  prompter.ShowProgress("Checking times completed and prerequisites\r\n[This may take a while]");
  auto report = WhereToStartReport(sim, s, mode);
  prompter.HideProgress();
  if (!report) {
    prompter.Information(report.error());
    return;
  }
  prompter.Show({MessageKind::kInformation, report->text, kOk | kHelp, kHelpWhereToStart, ""});
  if (!report->left_to_do || big_job_running || !start_big_job) return;
  if (prompter.Show({MessageKind::kConfirmation,
                     "Do you want to start a job to carry out the parts not done?",
                     kYes | kNo | kHelp, kHelpWhereToStart, ""}) != kYes) {
    return;
  }
  const records::Starts* starts = &report->starts;
  bool differ = false;
  for (int r = kBase; r <= kPolicy; ++r) {
    differ = differ || report->starts.run[r].year != report->sequence_starts.run[r].year;
  }
  if (mode == WhereToStartMode::kSameIfRunAgain && differ) {
    const Button b = prompter.Show(
        {MessageKind::kConfirmation,
         "Do you want the start of this job to take into account whether prerequisites are ok?",
         kYes | kNo | kCancel | kHelp, kHelpWhereToStart, ""});
    if (b == kCancel) return;
    if (b == kNo) starts = &report->sequence_starts;
  }
  start_big_job(PlanFromStarts(*starts, RecordTimeline(sim, s, QuietPolicyStart(sim, s))));
}

void AreResultsOkCommand(const Session& session, Prompter& prompter, ResultsOkMode mode) {
  const bool sol = session.settings.options.SolFileShocks;
  auto checked = prompter.CheckItems(WhichResultsToCheck(sol));
  if (!checked) return;
  prompter.ShowProgress("Checking times completed and prerequisites\r\n[This may take a while]");
  auto report =
      ResultsOkReport(session.sim, session.settings, mode, BoxesFromChecks(*checked, sol));
  prompter.HideProgress();
  if (!report) {
    prompter.Information(report.error());
    return;
  }
  prompter.Show({MessageKind::kInformation, report->text, kOk | kHelp, kHelpResultsOk, ""});
}

}  // namespace yl
