#pragma once
// The single-program activities of the job timer besides the big job: the closure checks
// of the Closure/Shocks page (kinds 11 to 14), the model program's release check (51) and
// the temporary-directory check (61). One runs at a time; the timer's tick reports its end
// to the command that started it.

#include <functional>
#include <optional>
#include <string>

#include "app/commands/closure_check_commands.h"
#include "app/commands/quillo_extract.h"
#include "app/commands/temp_dir_commands.h"
#include "app/session.h"
#include "cmf/closure_check.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "jobs/background_job.h"
#include "model/model_check.h"
#include "platform/process.h"

namespace yl {

class BackgroundTasks : public ClosureCheckHost {
 public:
  using ShowLog = std::function<void(const std::string& path)>;
  BackgroundTasks(Session& session, ProcessRunner& runner, Clock& clock, Prompter& prompter,
                  ShowLog show_log);

  // The context the closure-check commands run in; valid while this object lives.
  ClosureCheckContext& ClosureContext();
  // The release check of the model program; false when it could not start.
  bool StartModelCheck();
  // Flatix taking the TAB or STI file out of the model's auxiliary table file; show gets
  // the extracted file when the job ends well, after a message ending in `then`.
  bool StartQuilloExtraction(QuilloFile what, const ModelState& model,
                             std::function<void(const std::string&)> show,
                             const std::string& then = kWillShowExtracted);
  // The check that runs a small job in the temporary directory; at most 20 seconds.
  bool StartTempDirCheck();
  // One timer tick; the wait window's Cancel ends the wait. True when an end was handled.
  bool Tick(bool cancel_pressed = false);
  bool Busy() const { return job_.Busy(); }
  // What the wait window says while the activity runs; "" when none runs.
  std::string WaitText() const;
  std::optional<ProcessHandle> handle() const { return job_.handle(); }

  // ClosureCheckHost
  bool DeveloperMode() const override;
  bool BackgroundJobGuard(Prompter& prompter) override;
  bool StartCheckJob(jobs::BackgroundKind kind, const ClosureCheckJob& job) override;
  bool TableCheck(int first_column, int last_column, int first_period, int last_period) override;
  void OfferErrorLog(const std::string& log, Prompter& prompter) override;
  std::string UnwritableName() const override;

 private:
  Session& session_;
  ProcessRunner& runner_;
  Prompter& prompter_;
  ShowLog show_log_;
  jobs::BackgroundJob job_;
  ClosureCheckSetup setup_;
  ClosureCheckState closure_state_;
  std::optional<ClosureCheckContext> closure_context_;
  std::optional<ModelCheckJob> model_check_;
  std::optional<TempDirCheckJob> temp_check_;
  std::optional<QuilloExtraction> extraction_;
};

}  // namespace yl
