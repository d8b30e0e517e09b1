#pragma once
// The closure-check commands of the closure/shock table: the single-cell checks of the
// cell menu, the "Check all" commands, and what happens when a check job ends. They
// prepare each job and hand it to the job engine through ClosureCheckHost; the engine
// calls CompleteClosureCheckJob when the program has ended. Messages go through the
// Prompter.

#include <optional>
#include <string>

#include "cmf/closure_check.h"
#include "core/prompter.h"
#include "jobs/background_job.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kCheckAllHelpTopic = 7038;
inline constexpr int kCheckAllPolicyShocksHelpTopic = 7039;
inline constexpr int kEnvironmentFileHelpTopic = 7038;
inline constexpr char kEnvironmentDialogTitle[] = "Environment file to be saved";
inline constexpr char kEnvironmentDialogPrompt[] =
    "Please enter name of Environment file to be saved";

// What the commands need from the job engine and the closure/shock table.
class ClosureCheckHost {
 public:
  virtual ~ClosureCheckHost() = default;
  virtual bool DeveloperMode() const = 0;
  // The engine's background-job guard; it shows its own message when it refuses.
  virtual bool BackgroundJobGuard(Prompter& prompter) = 0;
  // Sets the background kind and starts the program; false when it could not start.
  virtual bool StartCheckJob(jobs::BackgroundKind kind, const ClosureCheckJob& job) = 0;
  // The table check before runs, quiet, for the columns over the periods.
  virtual bool TableCheck(int first_column, int last_column, int first_period, int last_period) = 0;
  // The error-log offer after a failed job; log is "" when there is none.
  virtual void OfferErrorLog(const std::string& log, Prompter& prompter) = 0;
  // Why a name the check's files would hold cannot be written; "" when all can.
  virtual std::string UnwritableName() const { return ""; }
};

// Kept from the start of a check job to its completion.
struct ClosureCheckState {
  int column = 0;                                           // current check column
  int period = 0;                                           // current check period
  jobs::BackgroundKind kind = jobs::BackgroundKind::kNone;  // the running check, if any
  ClosureCheckFiles files;
};

struct ClosureCheckContext {
  const TSimRecord& sim;
  const ClosureCheckSetup& setup;
  ClosureCheckHost& host;
  Prompter& prompter;
  ClosureCheckState& state;
};

// "Check &Closure" on the cell of column (1 or 3) and period (0 for the Common row).
// True when a job was started.
bool CheckClosureCommand(ClosureCheckContext& ctx, int column, int period);
// "Check Closure, Save Environment File", with the name the user entered in the dialog.
bool CheckClosureSaveEnvironmentCommand(ClosureCheckContext& ctx, int column, int period,
                                        const std::string& environment_name);
// "Check Closure and S&hocks" on a shock cell (column 2 or 4).
bool CheckClosureAndShocksCommand(ClosureCheckContext& ctx, int column, int period);

enum class CheckAllCommand {
  kBaseClosures,            // "Check all Base-case &Closures"
  kBaseClosuresAndShocks,   // "Check all Base-case closures and &shocks"
  kPolicyClosures,          // "Check all policy cl&osures"
  kPolicyClosuresAndShocks  // "Check all policy closures and s&hocks"
};
bool RunCheckAllCommand(ClosureCheckContext& ctx, CheckAllCommand command);

// Checks periods first..last of column one job at a time, skipping the periods whose
// files are missing or refer to missing files. True when a job was started.
bool CheckSomeClosuresShocks(ClosureCheckContext& ctx, int column, int first_period,
                             int last_period);

// The engine saw the check's program end: the verdict, its message, and for a "Check
// all" sequence the next period. True when another job was started.
bool CompleteClosureCheckJob(ClosureCheckContext& ctx);

}  // namespace yl
