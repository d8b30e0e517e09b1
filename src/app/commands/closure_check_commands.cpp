#include "app/commands/closure_check_commands.h"

#include "cmf/cmf_util_cells.h"
#include "core/internal_error.h"
#include "platform/files.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

bool StartJob(ClosureCheckContext& ctx, jobs::BackgroundKind kind, const ClosureCheckFiles& files) {
  ctx.state.kind = kind;
  ctx.state.files = files;
  if (ctx.host.StartCheckJob(kind, MakeClosureCheckJob(ctx.sim, ctx.setup, files))) return true;
  ctx.state.kind = jobs::BackgroundKind::kNone;
  ctx.prompter.Error("Could not launch solution process !", 0, kOk | kHelp);
  return false;
}

// A written check, or nothing (with the reason shown).
std::optional<ClosureCheckFiles> Prepare(ClosureCheckContext& ctx, std::string_view job_word,
                                         int column, int period,
                                         const std::optional<std::string>& save_environment) {
  if (std::string problem = ctx.host.UnwritableName(); !problem.empty()) {
    ctx.prompter.Error(problem);
    return std::nullopt;
  }
  CheckCmfOutcome out =
      CheckClosureCMF(ctx.sim, ctx.setup, job_word, column, period, save_environment);
  if (!out.written()) {
    ctx.prompter.Show(out.problem);
    return std::nullopt;
  }
  return out.files;
}

bool CellPasses(ClosureCheckContext& ctx, int period, int column) {
  RuleResult r = CellRule(ctx.sim, period, column);
  if (!r.passed) ctx.prompter.Show(r.problem);
  return r.passed;
}

bool GuardPasses(ClosureCheckContext& ctx, const char* refusal) {
  if (ctx.host.DeveloperMode() || ctx.host.BackgroundJobGuard(ctx.prompter)) return true;
  ctx.prompter.Error(refusal);
  return false;
}

bool SingleClosureCheck(ClosureCheckContext& ctx, int column, int period,
                        const std::optional<std::string>& save_environment) {
  auto files = Prepare(ctx, kClosureCheckWord, column, period, save_environment);
  if (!files) return false;
  if (!GuardPasses(ctx, "Cannot start Closure check job")) return false;
  ctx.state.column = column;
  ctx.state.period = period;
  if (!CellPasses(ctx, period, column)) return false;
  return StartJob(ctx, jobs::BackgroundKind::kClosureCheck, *files);
}

}  // namespace

bool CheckClosureCommand(ClosureCheckContext& ctx, int column, int period) {
  return SingleClosureCheck(ctx, column, period, std::nullopt);
}

bool CheckClosureSaveEnvironmentCommand(ClosureCheckContext& ctx, int column, int period,
                                        const std::string& environment_name) {
  if (environment_name.find_first_of("\\:/") != std::string::npos) {
    ctx.prompter.Error(
        "You must specify a short file name since Environment file will go in Working "
        "Directory",
        kEnvironmentFileHelpTopic, kOk | kHelp);
    return false;
  }
  return SingleClosureCheck(ctx, column, period, environment_name);
}

bool CheckClosureAndShocksCommand(ClosureCheckContext& ctx, int column, int period) {
  CheckColumn(column);
  if (column != kBaseShocks && column != kPolicyShocks) {
    throw InternalError("Closure and shocks check asked for closure column " +
                        std::to_string(column));
  }
  auto files = Prepare(ctx, kClosureShockCheckWord, column, period, std::nullopt);
  if (!files) return false;
  if (!GuardPasses(ctx, "Cannot start Closure&Shock check job")) return false;
  ctx.state.column = column;
  ctx.state.period = period;
  if (!CellPasses(ctx, period, column - 1)) return false;
  if (!CellPasses(ctx, period, column)) return false;
  return StartJob(ctx, jobs::BackgroundKind::kClosureShockCheck, *files);
}

bool RunCheckAllCommand(ClosureCheckContext& ctx, CheckAllCommand command) {
  const bool base = command == CheckAllCommand::kBaseClosures ||
                    command == CheckAllCommand::kBaseClosuresAndShocks;
  const bool shocks = command == CheckAllCommand::kBaseClosuresAndShocks ||
                      command == CheckAllCommand::kPolicyClosuresAndShocks;
  const int help = command == CheckAllCommand::kPolicyClosuresAndShocks
                       ? kCheckAllPolicyShocksHelpTopic
                       : kCheckAllHelpTopic;
  const int closure_column = base ? kBaseClosure : kPolicyClosure;
  if (RuleResult r = RangeRule(ctx.sim, closure_column, 1, ctx.sim.NumYears, shocks, help);
      !r.passed) {
    ctx.prompter.Show(r.problem);
    return false;
  }
  int first = 1;
  if (!base) {
    PolicyStart start = PolicyStartSim(ctx.sim, kPolicy, ctx.setup.policy_start);
    if (!start.Refused) first = start.Period;
  }
  return CheckSomeClosuresShocks(ctx, closure_column + (shocks ? 1 : 0), first, ctx.sim.NumYears);
}

bool CheckSomeClosuresShocks(ClosureCheckContext& ctx, int column, int first_period,
                             int last_period) {
  CheckColumn(column);
  ctx.state.column = column;
  const bool shocks = column == kBaseShocks || column == kPolicyShocks;
  const std::string_view job_word = shocks ? kClosureShockCheckWord : kClosureCheckWord;
  const int first_column = shocks ? column - 1 : column;
  const std::string description = shocks ? "closures and shocks" : "closures";
  const std::string run_word = first_column == kBaseClosure ? "base case" : "policy";

  CMFStartCheck constituents =
      first_column == kBaseClosure
          ? CheckCMFStartConstituents(ctx.sim, kBase, kBase, ctx.setup.no_rerun)
          : CheckCMFStartConstituents(ctx.sim, kRerun, kPolicy, ctx.setup.no_rerun);
  if (!constituents.passed) {
    ctx.prompter.Information("However at least one constituent of the CMFStart file\r\n" +
                                 constituents.failed_path + "\r\n does not exist.",
                             kCMFStartHelpTopic, kOk | kHelp);
  }
  if (first_period == 1 && !ctx.host.TableCheck(first_column, column, 1, last_period)) {
    ctx.prompter.Information(
        "Some items in the relevant columns are not ok (coloured red or green).\r\nWill only "
        "check the other ones.",
        kClosureCellHelpTopic, kOk | kHelp);
  }
  for (int p = first_period; p <= last_period; ++p) {
    if (!ctx.host.TableCheck(first_column, column, p, p)) continue;
    auto files = Prepare(ctx, job_word, column, p, std::nullopt);
    if (!files) return false;
    if (!GuardPasses(ctx, "Cannot start Closure/Shocks check job")) return false;
    ctx.state.period = p;
    return StartJob(ctx,
                    shocks ? jobs::BackgroundKind::kAllClosuresShocksCheck
                           : jobs::BackgroundKind::kAllClosuresCheck,
                    *files);
  }
  std::string text = "Check of all " + run_word + " " + description + " completed.";
  if (!ctx.host.TableCheck(first_column, column, first_period, last_period)) {
    text += "\r\nBut is at least one file showing red or green on the Closures/Shocks page.";
  }
  ctx.prompter.Information(text, kCheckAllHelpTopic, kOk | kHelp);
  return false;
}

bool CompleteClosureCheckJob(ClosureCheckContext& ctx) {
  const jobs::BackgroundKind kind = ctx.state.kind;
  if (!jobs::IsClosureCheck(kind)) {
    throw InternalError("No closure check job is running");
  }
  ctx.state.kind = jobs::BackgroundKind::kNone;
  const bool closure_only = kind == jobs::BackgroundKind::kClosureCheck ||
                            kind == jobs::BackgroundKind::kAllClosuresCheck;
  if (ClosureCheckPassed(ctx.state.files)) {
    if (kind == jobs::BackgroundKind::kClosureCheck) {
      ctx.prompter.Information("Closure is ok.", 0, kOk | kHelp);
    } else if (kind == jobs::BackgroundKind::kClosureShockCheck) {
      ctx.prompter.Information("Closure and shocks are ok.", 0, kOk | kHelp);
    } else {
      return CheckSomeClosuresShocks(ctx, ctx.state.column, ctx.state.period + 1, ctx.sim.NumYears);
    }
    return false;
  }
  ctx.prompter.Information(closure_only ? "Closure is NOT ok." : "Closure and shocks are NOT ok.",
                           0, kOk | kHelp);
  const std::string& log = ctx.state.files.log;
  ctx.host.OfferErrorLog(FileExists(log) ? log : std::string(), ctx.prompter);
  return false;
}

}  // namespace yl
