#include "app/part_preparer.h"

#include <chrono>

#include "app/run_units.h"

#include "app/outputs_before_run.h"
#include "app/re_driver.h"
#include "app/slot_copies.h"
#include "cmf/make_cmf.h"
#include "cmf/run_files.h"
#include "cmf/sol_method.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "harfile/har_framing.h"
#include "model/model_check.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "records/run_record.h"
#include "settings/sim_details.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

using jobs::JobChoice;
using jobs::PartFiles;
using jobs::PreparedPart;

// The model parts: the release code from which the program names its log itself.
constexpr int kLogFromStiRelease = 78300;
// The release from which the solver writes updated coefficients (".udc").
constexpr int kUdcRelease = 80000;

std::string StartLine(const std::string& what) { return "** Starting " + what + " **"; }

// The family tool that runs a part other than the model's.
std::string ToolOf(const JobChoice& part) {
  if (part.part == PartKind::kAmbix1 || part.part == PartKind::kAmbix2) return "ambixa";
  if (part.job == JobKind::kTallyr || part.job == JobKind::kVarix) {
    return std::string(JobName(part.job)) + "a";
  }
  if (part.job == JobKind::kCumSol || part.job == JobKind::kDevSol) return "mergixa";
  return "solexa";
}

bool IsModelPart(const JobChoice& part) {
  return part.part == PartKind::kSim || part.part == PartKind::kEnv;
}

}  // namespace

void ReplaceQuotedName(std::vector<std::string>& lines, const std::string& from,
                       const std::string& to) {
  const std::string quoted = "\"" + from + "\"";
  const std::string replacement = "\"" + to + "\"";
  for (std::string& line : lines) {
    for (std::size_t at = line.find(quoted); at != std::string::npos;
         at = line.find(quoted, at + replacement.size())) {
      line.replace(at, quoted.size(), replacement);
    }
  }
}

SimPartPreparer::SimPartPreparer(JobContext context, SessionSettings& session, bool do_deviations,
                                 Prompter& prompter)
    : context_(std::move(context)),
      session_(session),
      do_deviations_(do_deviations),
      prompter_(prompter) {
  const Options& o = session_.options;
  ss_.sim = context_.sim;
  ss_.no_rerun = context_.no_rerun;
  ss_.policy_start = context_.policy_start;
  ss_.temp_dir = context_.temp_dir;
  ss_.mapping_file = context_.mapping_file;
  ss_.options = {o.AccumulateSubtotals, o.ArithProbNotFatalRsl, o.AbbreviatedSsJobs,
                 o.YonYDifferencesSs};
}

std::string SimPartPreparer::ToolPath(const std::string& name) const {
  return JoinPath(context_.program_dir, name);
}

std::string SimPartPreparer::SlotDir(int slot) const {
  return SlotDirectory(*context_.sim, context_.temp_dir, slot);
}

FileStatementSettings SimPartPreparer::FileSettings(int slot, int run) const {
  FileStatementSettings f;
  if (re_) f.Re = re_->CmfInputs(run);
  f.PolicyStart = context_.policy_start;
  f.FirstYear = context_.first_year;
  if (slot > 1) f.InputDir = SlotDir(slot);
  f.NoRerun = context_.no_rerun;
  return f;
}

jobs::AssemblyRanges SimPartPreparer::Ranges(int run) const {
  const jobs::RunPlan& p = plan_->plan(run);
  return {p.wants_ss,
          {p.first_ss_year, p.last_ss_year},
          p.wants_policy_years_ss,
          {p.first_policy_years_ss, p.last_policy_years_ss}};
}

Status SimPartPreparer::PrepareSlotDirectories(int first_slot, int last_slot) {
  SlotPlan p;
  p.first_slot = first_slot;
  p.last_slot = last_slot;
  p.developer_mode = session_.options.DeveloperMode;
  for (int run = kBase; run <= kPolicy; ++run) {
    const jobs::RunPlan& r = plan_->plan(run);
    p.sim_first[run] = r.has_sims ? r.first_sim_year : 1;
    p.sim_last[run] = r.has_sims ? r.last_sim_year : 0;
  }
  return ::yl::PrepareSlotDirectories(context_, p);
}

std::vector<std::string> SimPartPreparer::ClearOutputs() {
  return ClearOutputsBeforeRun(BigJobOutputs(context_, *plan_, ss_, do_deviations_),
                               session_.options.Outputs, context_.sim->SimDir);
}

Status SimPartPreparer::AfterSimPart(int run, int year, int first_slot, int last_slot) {
  for (int s = std::max(2, first_slot); s <= last_slot; ++s) {
    if (auto e = CopySimFilesToDir(context_, SlotCopy::kUpdatedInputs, run, year, true, SlotDir(s));
        !e) {
      return e;
    }
  }
  return Ok();
}

Status SimPartPreparer::VerifyOutputs(const JobChoice& part, const PreparedPart& files) {
  if (part.job != JobKind::kSim || part.part != PartKind::kSim) return Ok();
  // The next period starts from these; a torn one must stop the chain here, not a year on.
  std::vector<std::string> wanted{files.check_file};
  for (const std::string& f :
       SlotCopySources(context_, SlotCopy::kUpdatedInputs, part.run, part.year)) {
    wanted.push_back(f);
  }
  for (const std::string& f : wanted) {
    if (auto s = CheckHarFraming(f); !s) {
      return Fail("The solve reported success but left an incomplete file:\r\n  " + f + "\r\n" +
                  s.error());
    }
  }
  return Ok();
}

void SimPartPreparer::PartSucceeded(const JobChoice& part, const PreparedPart& files) {
  if (!IsModelPart(part)) return;
  auto ini = IniFile::Load(files.report_file);
  if (!ini) return;
  ModelReleaseInfo release = ReleaseFromReport(
      ModelCheckReportFrom([&](const std::string& key) { return ini->Get("Result", key); }));
  if (release.SvRelease > 0) session_.model.Release = release;
}

void SimPartPreparer::UnitCompleted(const jobs::CompletedUnit& unit) {
  using K = jobs::UnitOfWork;
  const records::UnitKind kind = unit.kind == K::kSim   ? records::UnitKind::kSim
                                 : unit.kind == K::kBot ? records::UnitKind::kBot
                                                        : records::UnitKind::kSpreadsheet;
  const TSimRecord& sim = *context_.sim;
  const records::UnitDescription d =
      DescribeUnit(sim, session_, context_.policy_start, {unit.run, unit.year, kind});
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto secs = std::chrono::duration_cast<std::chrono::seconds>(now);
  const std::uint64_t stamp = UnixNanosTo100ns(
      secs.count(), std::chrono::duration_cast<std::chrono::nanoseconds>(now - secs).count());
  if (auto s = records::RecordJob(d, RecordContextOf(sim, session_), stamp); !s) {
    prompter_.Show({MessageKind::kError, s.error(), kOk | kHelp, 0, ""});
    return;
  }
  Notices notices;
  (void)SaveRunRecordCopy(unit.run, session_, sim, session_.paths.keep_dir, notices);
  ShowAll(prompter_, notices);
}

Status SimPartPreparer::CheckSucceededPart(const JobChoice& part) {
  return re_ ? re_->AfterPart(part) : Ok();
}

Status SimPartPreparer::IterationCompleted(Run run) {
  return re_ ? re_->IterationCompleted(run) : Ok();
}

void SimPartPreparer::BigJobFinished() {
  if (re_) re_->Finished();
}

std::string SimPartPreparer::ProgramName(const JobChoice& part) const {
  if (IsModelPart(part)) return FileNameOf(context_.model_path);
  return ToolOf(part);
}

Result<PreparedPart> SimPartPreparer::ModelPart(const std::string& sti,
                                                const std::string& dir) const {
  const ModelState& m = session_.model;
  PreparedPart p;
  p.log_file = ChangeFileExt(sti, ".log");
  p.report_file = ChangeFileExt(sti, ".rpt");
  p.process.working_dir = dir;
  p.process.window = WindowState::kMinimised;
  const std::string& program = context_.program_to_run;
  if (DecideModelLaunch(m.Release, m.NotWinconsole, session_.options.NeverBatJob).use_script) {
    // The script changes into the part's directory itself, as a batch file would.
    const std::string script = ChangeFileExt(sti, ".sh");
    const std::string command =
        ShellQuote(program) + " -sti " + ShellQuote(sti) + " -log " + ShellQuote(p.log_file);
    if (auto s = WriteTextLines(script, {"cd " + ShellQuote(dir) + " || exit 1", command}); !s) {
      return Fail("Unable to write BAT file to run model.\r\n" + s.error());
    }
    p.process.program = "/bin/sh";
    p.process.args = {script};
    return p;
  }
  p.process.program = program;
  if (m.Release.SvRelease >= kLogFromStiRelease) {
    p.process.args = {"-sti", sti, "-lon", "%sti"};
  } else {
    p.process.args = {"-sti", sti, session_.options.VisibleLogFiles ? "-log" : "-lon", p.log_file};
  }
  return p;
}

PreparedPart SimPartPreparer::ToolPart(const std::string& tool, const PartFiles& files,
                                       const std::string& dir) const {
  PreparedPart p;
  p.process.program = ToolPath(tool);
  p.process.args = {"-sti", files.sti, "-lon", "%sti"};
  p.process.working_dir = dir;
  p.process.window = WindowState::kMinimised;
  p.log_file = files.log;
  p.report_file = files.report;
  p.check_file = files.check;
  return p;
}

Result<PreparedPart> SimPartPreparer::Prepare(const JobChoice& part, int slot) {
  if (re_) {
    if (auto s = re_->BeforePart(part); !s) return Fail(s.error());
  }
  if (part.job == JobKind::kSim) {
    return part.part == PartKind::kSim ? PrepareSim(part, slot) : PrepareSol(part);
  }
  if (part.job == JobKind::kBot) return PrepareBot(part, slot);
  return PrepareSpreadsheet(part);
}

bool SimPartPreparer::ToolAvailable(const std::string& tool) const {
  return FileExists(ToolPath(tool));
}

Status SimPartPreparer::WriteRunFiles(int run, int year, int slot) {
  RunFilesSettings files;
  files.ModelPath = context_.model_path;
  files.TempDir = context_.temp_dir;
  files.SlotDir = SlotDir(slot);
  files.Files = FileSettings(slot, run);
  files.SolFileShocks = session_.options.SolFileShocks;
  files.ProgramAvailable = [this](const std::string& name) { return ToolAvailable(name + "a"); };
  RunBatOutcome written = WriteRunBat(*context_.sim, run, year, files);
  if (written.notice) prompter_.Show(*written.notice);
  if (!written) {
    return Fail("BAT file not written so cannot start job.\r\n  [Emes is \"" + written.error() +
                "\"]");
  }
  return Ok();
}

Result<PreparedPart> SimPartPreparer::PrepareSim(const JobChoice& part, int slot) {
  const TSimRecord& sim = *context_.sim;
  const int run = part.run;
  const int year = part.year;
  MakeCmfSettings cmf;
  // The last year the Policy's prerequisite run solves in this task also writes the
  // updated coefficients, when the solver can.
  const jobs::RunPlan& r = plan_->plan(run);
  cmf.Udc = session_.model.Release.SvRelease >= kUdcRelease &&
            run == jobs::PrerequisiteRun(kPolicy, context_.no_rerun) && r.has_sims &&
            year == r.last_sim_year;
  if (cmf.Udc) {
    const std::string udc = InSimDir(sim, UdcFileName(sim, run, year, context_.no_rerun));
    if (auto s = DeleteFileWithRetries(udc); !s) return Fail(s.error());
  }
  cmf.Method = MethodForPeriod(session_.methods, sim, year);
  cmf.SolverRelease = session_.model.Release.SvRelease;
  cmf.Files = FileSettings(slot, run);
  if (auto made = MakeCMF(sim, context_.model_path, year, run, cmf); !made) {
    return Fail(made.error());
  }
  if (auto s = WriteRunFiles(run, year, slot); !s) return Fail(s.error());
  if (run != kBase) {
    if (auto s = WriteRerunOrPolicyCmf(run, year, slot); !s) return Fail(s.error());
  }
  const std::string sti = ModelStiPath(sim, run, year, context_.no_rerun, context_.temp_dir);
  auto launched = ModelPart(sti, SlotDir(slot));
  if (!launched) return launched;
  PreparedPart p = std::move(*launched);
  p.check_file = InSimDir(sim, SolutionFileName(sim, run, year, context_.no_rerun));
  // The year's log in the working directory collects the logs of both parts.
  p.year_log = InSimDir(sim, SimLogFileName(sim, run, year, context_.no_rerun));
  p.year_log_header = StartLine("sim for year " + std::to_string(sim.Years[year]) + " of " +
                                jobs::RunShortName(run));
  return p;
}

Status SimPartPreparer::WriteRerunOrPolicyCmf(int run, int year, int slot) {
  const TSimRecord& sim = *context_.sim;
  const bool no_rerun = context_.no_rerun;
  const std::string top = InSimDir(sim, TopFileName(sim, run, year, no_rerun));
  if (!FileExists(top)) return Fail("File " + top + " does not exist.");
  std::string bot = InSimDir(sim, BotFileName(sim, year, no_rerun));
  if (!FileExists(bot)) {
    return Fail(InternalErrorText("The BOT file: " + bot +
                                  " does not exist.\r\nSorry, are stopping all jobs because of "
                                  "this."));
  }
  if (session_.options.SolFileShocks && slot > 1) {
    const std::string sol = InSimDir(sim, BotResultsFileName(sim, year, no_rerun));
    const std::string sol_copy = JoinPath(SlotDir(slot), FileNameOf(sol));
    if (!CopyKeepingStamp(sol, sol_copy, true)) {
      return Fail("Error copying SOL File for Policy shocks to SimDir" + std::to_string(slot));
    }
    auto lines = ReadTextLines(bot);
    if (!lines) return Fail("Error copying and editing BOT File");
    ReplaceQuotedName(*lines, sol, sol_copy);
    const std::string edited = JoinPath(context_.temp_dir, FileNameOf(bot));
    if (!WriteTextLines(edited, *lines)) return Fail("Error copying and editing BOT File");
    bot = edited;
  }
  TextWriter cmf;
  const std::string target = InSimDir(sim, CommandFileName(sim, run, year, no_rerun));
  if (auto s = cmf.Create(target); !s) return s;
  Status s = cmf.AppendFile(top);
  if (s) s = cmf.AppendFile(bot);
  if (auto c = cmf.Close(); s && !c) s = c;
  if (!s) DeleteFileIfExists(target);
  return s;
}

Result<PreparedPart> SimPartPreparer::PrepareSol(const JobChoice& part) {
  const TSimRecord& sim = *context_.sim;
  PartFiles f = jobs::SolPartFiles(ss_, part.year, part.run);
  if (auto s = jobs::WriteSolSTI(ss_, part.year, part.run); !s) return Fail(s.error());
  if (auto s = DeleteFileWithRetries(ChangeFileExt(f.check, ".sli")); !s) return Fail(s.error());
  PreparedPart p = ToolPart(ToolOf(part), f, context_.temp_dir);
  p.year_log = InSimDir(sim, SimLogFileName(sim, part.run, part.year, context_.no_rerun));
  return p;
}

Result<PreparedPart> SimPartPreparer::PrepareBot(const JobChoice& part, int slot) {
  const TSimRecord& sim = *context_.sim;
  const bool no_rerun = context_.no_rerun;
  const int year = part.year;
  const ClosurePrepFiles f = ClosurePrepFileNames(sim, year, no_rerun, context_.temp_dir);
  const std::string bot = InSimDir(sim, BotFileName(sim, year, no_rerun));
  const std::string dir = SlotDir(slot);
  PreparedPart p;
  if (part.part == PartKind::kEnv) {
    if (auto s = WriteRunFiles(ClosurePrepRun(no_rerun), year, slot); !s) return Fail(s.error());
    auto launched = ModelPart(f.EnvSti, dir);
    if (!launched) return launched;
    p = std::move(*launched);
    p.report_file = f.EnvRpt;
    p.check_file = f.En4;
    p.year_log_header = StartLine("BOT job for year " + std::to_string(sim.Years[year]));
  } else if (part.part == PartKind::kSolPol) {
    if (auto s = jobs::WriteSolPolSTI(ss_, year); !s) return Fail(s.error());
    p = ToolPart(ToolOf(part), jobs::SolPolPartFiles(ss_, year), dir);
  } else if (part.part == PartKind::kAmbix1 || part.part == PartKind::kAmbix2) {
    const bool first = part.part == PartKind::kAmbix1;
    const std::string& sti = first ? f.St2 : f.St9;
    p = ToolPart(
        ToolOf(part),
        {sti, ChangeFileExt(sti, ".log"), first ? f.St2Rpt : f.St9Rpt, first ? f.Map : bot}, dir);
  } else {
    p = ToolPart(ToolOf(part), {f.St3, ChangeFileExt(f.St3, ".log"), f.St3Rpt, bot}, dir);
  }
  p.year_log = InSimDir(sim, BotLogFileName(sim, year, no_rerun));
  return p;
}

Result<PreparedPart> SimPartPreparer::PrepareSpreadsheet(const JobChoice& part) {
  const TSimRecord& sim = *context_.sim;
  const int run = part.run;
  const jobs::RunPlan& r = plan_->plan(run);
  const jobs::AssemblyRanges ranges = Ranges(run);
  const PeriodRange log_range = r.wants_ss ? ranges.ss : ranges.py;
  PreparedPart p;
  if (part.job == JobKind::kCsv || part.job == JobKind::kSsSol) {
    if (!ToolAvailable(ToolOf(part))) {
      // The engine shows the failure; showing it here too would say it twice.
      return Fail("The program SOLEX is not available.");
    }
    const std::vector<int> years = jobs::YearFilesYears(
        r.first_ss_year, r.last_ss_year, r.first_policy_years_ss, r.last_policy_years_ss);
    const char* ext = part.job == JobKind::kCsv ? ".csv" : ".rsl";
    for (int y : years) {
      auto s =
          DeleteFileWithRetries(JoinPath(context_.temp_dir, jobs::YearFile(ss_, y, run) + ext));
      if (!s) return Fail(s.error());
    }
    if (auto s = jobs::WriteYearFilesSTI(ss_, part.job, run, r.first_ss_year, r.last_ss_year,
                                         r.first_policy_years_ss, r.last_policy_years_ss);
        !s) {
      return Fail(s.error());
    }
    p = ToolPart(ToolOf(part), jobs::YearFilesPartFiles(ss_, part.job, run, years),
                 context_.temp_dir);
    if (part.job == JobKind::kCsv) {
      p.year_log_header = StartLine(std::string("SS job for ") + jobs::RunShortName(run));
    }
  } else {
    const bool first_part =
        (part.job == JobKind::kTallyr && (part.part == PartKind::kYonY || !r.wants_ss)) ||
        (part.job == JobKind::kCumSol && (part.part == PartKind::kCum || !r.wants_ss));
    if (first_part) {
      const int pre = jobs::PrerequisiteRun(kPolicy, context_.no_rerun);
      if (auto s = jobs::WriteAssemblySTIs(ss_, part.job, run, ranges, do_deviations_, Ranges(pre));
          !s) {
        return Fail(s.error());
      }
      if (part.job == JobKind::kTallyr && r.wants_ss) {
        if (auto s = jobs::WriteSequenceFiles(ss_, run, r.first_ss_year, r.last_ss_year); !s) {
          return Fail(s.error());
        }
      }
    }
    const PeriodRange range = part.part == PartKind::kPy ? ranges.py : ranges.ss;
    p = ToolPart(ToolOf(part), jobs::AssemblyPartFiles(ss_, part.job, part.part, run, range),
                 context_.temp_dir);
  }
  p.year_log = InSimDir(
      sim, AssemblyLogFileName(sim, run, log_range, context_.policy_start, context_.no_rerun));
  return p;
}

}  // namespace yl
