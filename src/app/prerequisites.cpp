#include "app/prerequisites.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "app/controller.h"
#include "app/run_units.h"
#include "cmf/cmf_util_cells.h"
#include "jobs/job_logs.h"
#include "model/model_state.h"
#include "model/time_stamp.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "records/run_checks.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr int kHelpPrerequisites = 7403;

constexpr char kContinueMissing[] =
    "Do you wish to continue checking if any other essential files are missing?\r\n[If in "
    "doubt, we recommend that you respond \"No\".]";
constexpr char kContinuePrerequisites[] =
    "Do you wish to continue checking the prerequisites?\r\n[If in doubt, we recommend that "
    "you respond \"No\".]";
constexpr char kIgnoreMissing[] =
    "Do you want to ignore these apparent problems with missing files\r\n and try running the "
    "simulation anyhow?\r\n[You should only say \"Yes\" if you think the software is incorrect "
    "in this case\r\n  when it says that the missing files are essential for this run.]";
constexpr char kIgnorePrerequisites[] =
    "Do you want to ignore these apparent problems with the prerequisites\r\n and try running "
    "the simulation anyhow?\r\n[You should only say \"Yes\" if you think the software is "
    "incorrect in this case\r\n  when it says that the prerequisite files are not ok.]";
constexpr char kNotCreated[] =
    "\r\n    This file will not be created by any of the other jobs you are about to run.\r\n    "
    "This makes it IMPOSSIBLE to run the ";

enum class Outcome { kGoOn, kAccept, kRefuse };

class Checker {
 public:
  Checker(const jobs::JobPlan& plan, const PrerequisiteContext& c)
      : plan_(plan),
        c_(c),
        sim_(*c.sim),
        s_(*c.settings),
        t_(RecordTimeline(*c.sim, *c.settings, c.policy_start)) {}

  std::string Check() {
    if (auto refusal = Sequence(); !refusal.empty()) return refusal;
    if (auto refusal = ModelCompatible(); !refusal.empty()) return refusal;
    Outcome o = Closing(EssentialInputs(), true);
    if (o == Outcome::kAccept) return "";
    if (o == Outcome::kRefuse) return refusal_;
    o = Closing(JobInputs(), true);
    if (o == Outcome::kAccept) return "";
    if (o == Outcome::kRefuse) return refusal_;
    if (!s_.options.CheckPrerequisites) return "";
    return Closing(PreviousJobs(), false) == Outcome::kRefuse ? refusal_ : "";
  }

 private:
  int N() const { return t_.num_years; }
  bool Sim(int run, int y) const {
    if (!t_.RunUsed(run)) return false;
    const jobs::RunPlan& p = plan_.plan(run);
    return p.has_sims && p.first_sim_year <= y && y <= p.last_sim_year &&
           y >= t_.FirstSimulable(run);
  }
  // Whether the big job will prepare the closure of year y itself.
  bool Bot(int y) {
    if (y < c_.policy_start || !(Sim(kRerun, y) || Sim(kPolicy, y))) return false;
    if (t_.two_run_mode || (Sim(kRerun, y) && Sim(kPolicy, y))) return true;
    auto [it, fresh] = bot_needed_.try_emplace(y, false);
    if (fresh) it->second = BotStillNeeded(sim_, s_, c_.policy_start, y, Kept(), &lookups_);
    return it->second;
  }
  // The records as the restore before the big job left them, read once per check.
  const records::RunRecords& Kept() {
    if (!kept_) kept_ = records::RunRecords::Load(s_.paths.keep_dir);
    return *kept_;
  }
  std::string Simulation(int run, int y) const { return records::SimulationText(t_, run, y); }
  std::string InWork(const std::string& name) { return lookups_.InWork(sim_, name); }

  void Wait(const std::string& text) {
    if (!c_.batch_mode) c_.prompter->ShowProgress(text);
  }

  // Step 1: a later run may not start after its first simulable year while the Base it
  // builds on is simulated again from an earlier year.
  std::string Sequence() {
    const jobs::RunPlan& base = plan_.plan(kBase);
    for (int run : {kRerun, kPolicy}) {
      if (!t_.RunUsed(run)) continue;
      const jobs::RunPlan& p = plan_.plan(run);
      const int first = t_.FirstSimulable(run);
      if (!p.has_sims || p.first_sim_year <= first || !base.has_sims ||
          base.first_sim_year >= p.first_sim_year) {
        continue;
      }
      const int y = std::max(first, base.first_sim_year);
      const std::string missing = Simulation(run, y);
      std::string text =
          "If you run these jobs, you will end up with run jobs not run in sequence.\r\nFor "
          "example, you have asked to run the " +
          Simulation(kBase, y) + "\r\n to be follwed later on by the " +
          Simulation(run, p.first_sim_year) + ".\r\nHowever you have not asked to run the " +
          missing + ".\r\nThis means that this latter " + missing +
          "\r\n will not have been run after the simulation for the\r\n same year of the Base "
          "which is a prerequisite for it.";
      c_.prompter->Show({MessageKind::kError, text, kOk | kHelp, kHelpPrerequisites, ""});
      return text;
    }
    return "";
  }

  // Step 2: the Model Information file and the model's table file belong together.
  std::string ModelCompatible() {
    const ModelState& m = s_.model;
    const std::string& min = s_.min_din.MinPath;
    const auto aux = FindCompanion(m.ModelFile, AuxTableExt(m.ModelFile));
    if (min.empty() || !aux || !FileExists(min)) return "";  // step 3 tells what is missing
    const Result<bool> same = MinAxtCompatible(min, *aux);
    if (!same || *same) return "";
    Message mismatch = MinAxtMismatchMessage(min, *aux, kHelpPrerequisites);
    c_.prompter->Show(mismatch);
    return mismatch.text;
  }

  // One problem, told as it is found; false when the user stops the checking.
  bool Report(const std::string& dependent, const std::vector<std::string>& reasons, bool missing) {
    std::string joined;
    for (const std::string& r : reasons) {
      std::string line = r;
      while (joined.empty() && line.rfind("\r\n", 0) == 0) line.erase(0, 2);
      joined += (joined.empty() ? "" : "\r\n") + line;
    }
    const std::string text = "Sorry. There is a problem with the prerequisites for " + dependent +
                             ".\r\nReasons:\r\n" + joined;
    ++problems_;
    if (c_.batch_mode) {
      c_.prompter->Show({missing ? MessageKind::kError : MessageKind::kInformation, text, kOk,
                         kHelpPrerequisites, ""});
      if (missing) {
        refusal_ = text;
        return false;
      }
      // Nobody can answer: the problem goes on record and the checking goes on.
      (void)jobs::AppendToLog(JoinPath(s_.paths.keep_dir, jobs::kBatchJobsLogName),
                              {"Prerequisite problem passed over:", text});
      return true;
    }
    c_.prompter->HideProgress();
    c_.prompter->Show({missing ? MessageKind::kError : MessageKind::kInformation, text, kOk | kHelp,
                       kHelpPrerequisites, ""});
    const bool go_on = c_.prompter->Show({MessageKind::kConfirmation,
                                          missing ? kContinueMissing : kContinuePrerequisites,
                                          kYes | kNo | kHelp, kHelpPrerequisites, ""}) == kYes;
    if (refusal_.empty()) refusal_ = text;
    return go_on;
  }

  // The closing question of a step that found problems.
  Outcome Closing(bool any_problem, bool missing) {
    c_.prompter->HideProgress();
    if (!any_problem) return Outcome::kGoOn;
    if (c_.batch_mode) return missing ? Outcome::kRefuse : Outcome::kGoOn;
    const Button b = c_.prompter->Show({MessageKind::kConfirmation,
                                        missing ? kIgnoreMissing : kIgnorePrerequisites,
                                        kYes | kNo | kHelp, kHelpPrerequisites, ""});
    if (b == kYes) return missing ? Outcome::kAccept : Outcome::kGoOn;
    return Outcome::kRefuse;
  }

  // A file that must exist, once per check.
  void Need(std::vector<std::string>& reasons, const std::string& path, const std::string& what) {
    if (path.empty() || FileExists(path) || !told_.insert(path).second) return;
    reasons.push_back(what + "\r\n   " + path + "\r\n does not exist.");
  }
  void NeedPiece(std::vector<std::string>& reasons, const std::string& path,
                 const std::string& what) {
    if (path.empty()) return;
    Need(reasons, path, what);
    if (!FileExists(path)) return;
    const auto& names = lookups_.Constituents(path);
    if (!names) return;
    for (std::size_t i = 1; i < names->size(); ++i) {
      Need(reasons, InWork((*names)[i]), "The file named in " + FileNameOf(path));
    }
  }

  // Step 3: what the user must have supplied.
  bool EssentialInputs() {
    Wait(" Checking if essential user inputs all exist");
    const int before = problems_;
    const ModelState& m = s_.model;
    {
      std::vector<std::string> r;
      if (!FileExists(m.ModelFile)) {
        r.push_back("The Model Quillo-generated EXE\r\n   " + m.ModelFile +
                    "\r\n(see the Model part of the Model/Data page) does not exist.");
      }
      for (const char* ext :
           m.IsExe ? std::vector<const char*>{".axs", ".axt"} : std::vector<const char*>{".kvt"}) {
        Need(r, CompanionPath(m.ModelFile, ext),
             std::string("The model's auxiliary file (") + ext + ")");
      }
      Need(r, s_.min_din.MinPath, "The Model Information file");
      if (!r.empty()) {
        r.push_back("This makes it IMPOSSIBLE to carry out any simulations.");
        if (!Report("the simulations", r, true)) return true;
      }
    }
    for (int run = kBase; run <= kPolicy; ++run) {
      const jobs::RunPlan& p = plan_.plan(run);
      if (!t_.RunUsed(run) || !p.has_sims) continue;
      std::vector<std::string> r;
      NeedPiece(r, lookups_.Cell(sim_, kCmfStartRow, CMFStartColumn(run)), "The CMFSTART file");
      for (int y = std::max(p.first_sim_year, t_.FirstSimulable(run)); y <= p.last_sim_year; ++y) {
        Wait(" Checking if essential user inputs all exist [YearNo = " + std::to_string(y) + "]");
        const int closure = ClosureColumn(run);
        const std::string common = lookups_.Cell(sim_, kCommonRow, closure);
        const std::string own = lookups_.Cell(sim_, y, closure);
        if (common.empty() && own.empty()) {
          r.push_back(
              "No closure file (Common or period-specific) has been specified\r\n for the " +
              Simulation(run, y) + ".");
        }
        NeedPiece(r, common, "The closure file");
        NeedPiece(r, own, "The closure file");
        const int shocks = run == kPolicy ? kPolicyShocks : kBaseShocks;
        NeedPiece(r, lookups_.Cell(sim_, kCommonRow, shocks), "The shock file");
        NeedPiece(r, lookups_.Cell(sim_, y, shocks), "The shock file");
        if (!r.empty()) {
          if (!Report("the " + Simulation(run, y), r, true)) return true;
          r.clear();
        }
      }
    }
    bool spreadsheets = false;
    for (int run = kBase; run <= kPolicy; ++run) spreadsheets |= plan_.plan(run).wants_ss;
    if (spreadsheets) {
      std::vector<std::string> r;
      if (s_.options.ResultsMapFile.empty()) {
        r.push_back(
            "Name of Result Mapping file has not been specified - see the Sim Overview page.");
      } else {
        Need(r, s_.options.ResultsMapFile, "The Result Mapping file");
      }
      if (!r.empty()) {
        r.push_back("This means that it is IMPOSSIBLE to run any spreadsheet jobs.");
        (void)Report("the spreadsheet jobs", r, true);
      }
    }
    return problems_ > before;
  }

  // Step 4: every input of a unit the big job runs exists, or another unit of it makes it.
  bool JobInputs() {
    Wait("Checking if essential files exist");
    const int before = problems_;
    const bool no_rerun = s_.options.NoRerun;
    const FirstYearFiles& first_year = lookups_.FirstYear(s_);
    auto data_inputs = [&](int run, int y, std::vector<std::string>& r, const std::string& unit) {
      for (int f = 1; f <= sim_.NumDinFiles; ++f) {
        const TDinFileEntry& e = sim_.DinFiles[f];
        if (!e.IsInput) continue;
        const InputFile in =
            ResolveParsedInputFile(sim_, f, y, run, c_.policy_start, first_year, no_rerun);
        if (in.FileName.empty()) {
          r.push_back("    The name of the original data file with logical name " + e.Name +
                      "\r\n     has not been specified (see the Data part of the Model/Data "
                      "page).");
          continue;
        }
        if (in.Period >= 1 && Sim(in.Run, in.Period)) continue;  // made by this big job
        const std::string path = InWork(in.FileName);
        if (FileExists(path)) continue;
        if (in.Period == 0) {
          r.push_back("    The original data file with logical name " + e.Name + "\r\n       " +
                      path +
                      "\r\n     (see the Data part of the Model/Data page)\r\n     does not "
                      "exist." +
                      kNotCreated + unit + ".");
        } else {
          r.push_back("    The updated data file with logical name " + e.Name + "\r\n       " +
                      path + "\r\n     created by the " + Simulation(in.Run, in.Period) +
                      "\r\n     does not exist." + kNotCreated + unit + ".");
        }
      }
    };
    for (int y = 1; y <= N(); ++y) {
      for (int slot = 0; slot < 4; ++slot) {
        std::vector<std::string> r;
        std::string unit;
        if (slot == 1) {
          if (!Bot(y)) continue;
          unit = records::BotJobText(t_, y);
          data_inputs(t_.BotRun(), y, r, unit);
          const std::string base_sol = InSimDir(sim_, SolutionFileName(sim_, kBase, y, no_rerun));
          if (!Sim(kBase, y) && !FileExists(base_sol)) {
            r.push_back("    The Solution file from the " + Simulation(kBase, y) + "\r\n       " +
                        base_sol + "\r\n     does not exist." + kNotCreated + unit + ".");
          }
        } else {
          const int run = slot == 0 ? kBase : slot == 2 ? kRerun : kPolicy;
          if (!Sim(run, y)) continue;
          unit = Simulation(run, y);
          data_inputs(run, y, r, unit);
          if (run != kBase && !Bot(y)) {
            const std::string bot = InSimDir(sim_, BotFileName(sim_, y, no_rerun));
            if (!FileExists(bot)) {
              r.push_back("    The BOT file\r\n       " + bot + "\r\n     created by the " +
                          records::BotJobText(t_, y) + "\r\n     does not exist." + kNotCreated +
                          unit + ".");
            }
            const std::string sol = InSimDir(sim_, BotResultsFileName(sim_, y, no_rerun));
            if (s_.options.SolFileShocks && !FileExists(sol)) {
              r.push_back("    The SOL file for Shocks\r\n       " + sol +
                          "\r\n     created by the " + records::BotJobText(t_, y) +
                          "\r\n     does not exist." + kNotCreated + unit + ".");
            }
          }
        }
        if (!r.empty() && !Report("the " + unit, r, true)) return true;
      }
    }
    for (int run = kBase; run <= kPolicy; ++run) {
      const jobs::RunPlan& p = plan_.plan(run);
      if (!t_.RunUsed(run) || !p.wants_ss) continue;
      const std::string unit = "ss job for the " + RunWord(run);
      std::vector<std::string> r;
      for (int y = std::max(p.first_ss_year, t_.FirstSimulable(run)); y <= p.last_ss_year; ++y) {
        const std::string sol = InSimDir(sim_, SolutionFileName(sim_, run, y, no_rerun));
        if (Sim(run, y) || FileExists(sol)) continue;
        r.push_back("    The Solution file from the " + Simulation(run, y) + "\r\n       " + sol +
                    "\r\n     does not exist." + kNotCreated + unit + ".");
      }
      if (!r.empty() && !Report("the spreadsheet job for the " + RunWord(run), r, true)) {
        return true;
      }
    }
    return problems_ > before;
  }

  // Step 5: the units the requested jobs build on that this big job does not run.
  bool PreviousJobs() {
    std::vector<std::pair<records::UnitRef, std::string>> units;  // unit, dependent job
    std::set<std::tuple<int, int, int>> seen;
    auto add = [&](int run, int y, records::UnitKind kind, const std::string& dependent) {
      if (!seen.insert({run, y, static_cast<int>(kind)}).second) return;
      units.push_back({{static_cast<Run>(run), y, kind}, dependent});
    };
    for (int y = 1; y <= N(); ++y) {
      for (int run : {kBase, kRerun, kPolicy}) {
        if (!Sim(run, y)) continue;
        const std::string dependent = "the " + Simulation(run, y);
        const jobs::RunPlan& p = plan_.plan(run);
        if (y == std::max(p.first_sim_year, t_.FirstSimulable(run))) {
          for (int e = t_.FirstSimulable(run); e < y; ++e)
            add(run, e, records::UnitKind::kSim, dependent);
        }
        if (run == kBase) continue;
        if (!Sim(kBase, y)) add(kBase, y, records::UnitKind::kSim, dependent);
        if (!Bot(y)) add(t_.BotRun(), y, records::UnitKind::kBot, dependent);
      }
    }
    for (int run : {kBase, kRerun, kPolicy}) {
      const jobs::RunPlan& p = plan_.plan(run);
      if (!t_.RunUsed(run) || !p.wants_ss) continue;
      const std::string dependent = "the spreadsheet job for the " + RunWord(run);
      for (int y = std::max(p.first_ss_year, t_.FirstSimulable(run)); y <= p.last_ss_year; ++y) {
        if (!Sim(run, y)) add(run, y, records::UnitKind::kSim, dependent);
      }
      if (run == kPolicy && plan_.settings().DoDeviations) {
        const Run pre = t_.PrerequisiteRun();
        if (!plan_.plan(pre).wants_ss) {
          add(pre, N() + 1, records::UnitKind::kSpreadsheet,
              "the differences part of the spreadsheet job for the Policy");
        }
      }
    }
    if (units.empty()) return false;
    if (!c_.fewer_messages && !c_.batch_mode &&
        c_.prompter->Show({MessageKind::kConfirmation,
                           "Do you want a check that all prerequisite files are still ok?",
                           kYes | kNo | kHelp, kHelpPrerequisites, ""}) != kYes) {
      return false;
    }
    Wait("Checking if prerequisite files are still ok");
    const records::RunRecords& kept = Kept();
    const int before = problems_;
    for (const auto& [u, dependent] : units) {
      if (!c_.batch_mode) {
        c_.prompter->ShowProgress(
            "Checking if previous sims are still ok. [YearNo = " + std::to_string(u.year) + "]");
      }
      std::vector<std::string> reasons;
      const records::Completion done = records::CompletedAt(kept, t_, u);
      if (!done.stamp) {
        reasons.push_back(done.reason);
      } else {
        reasons = records::InSequence(kept, t_, u);
        const bool ss_without_jobs =
            u.kind == records::UnitKind::kSpreadsheet && !plan_.plan(u.run).wants_ss;
        if (reasons.empty() && !ss_without_jobs) {
          reasons = records::StillOk(kept, DescribeUnit(sim_, s_, c_.policy_start, u, &lookups_),
                                     records::kWhereToStartResults);
        }
      }
      if (!reasons.empty() && !Report(dependent, reasons, false)) break;
    }
    return problems_ > before;
  }

  const jobs::JobPlan& plan_;
  const PrerequisiteContext& c_;
  const TSimRecord& sim_;
  const SessionSettings& s_;
  records::Timeline t_;
  UnitLookups lookups_;
  std::optional<records::RunRecords> kept_;
  std::map<int, bool> bot_needed_;  // asked again and again for the same years
  std::set<std::string> told_;
  int problems_ = 0;
  std::string refusal_;
};

}  // namespace

std::string CheckPlan(const jobs::JobPlan& plan, const PrerequisiteContext& context) {
  return Checker(plan, context).Check();
}

void ToggleCheckJobPrerequisites(Options& o, Prompter& prompter) {
  o.CheckPrerequisites = !o.CheckPrerequisites;
  prompter.Information(
      std::string("Yearloom") + (o.CheckPrerequisites
                                     ? " will check prerequisites before running a job."
                                     : " will not check prerequisites before running a job."),
      kHelpPrerequisites, kOk | kHelp);
}

}  // namespace yl
