#pragma once
// The one background activity the job timer serves at a time: a big job, or a single
// program run for a check (closure checks, extraction of the model's files, the model
// program's release check, the temporary-directory check). The guard keeps a second one
// from starting while one runs.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/status.h"
#include "platform/process.h"

namespace yl::jobs {

// The activities of the job timer; the numbers are their codes in messages.
enum class BackgroundKind : int {
  kNone = 0,
  kClosureCheck = 11,            // one cell's closure
  kClosureShockCheck = 12,       // one cell's closure and shocks
  kAllClosuresCheck = 13,        // every period's closure in turn
  kAllClosuresShocksCheck = 14,  // and their shocks
  kExtractTabFile = 31,
  kExtractStiFile = 32,
  kBigJob = 41,
  kModelCheck = 51,
  kTempDirCheck = 61,
};
inline bool IsClosureCheck(BackgroundKind k) {
  return k >= BackgroundKind::kClosureCheck && k <= BackgroundKind::kAllClosuresShocksCheck;
}

// What the timer is busy with; one per session.
struct BackgroundState {
  BackgroundKind kind = BackgroundKind::kNone;
  bool timer_enabled = false;
};

// The guard before any background activity starts; the error text when one is busy.
Status BackgroundJobGuard(const BackgroundState& state);

// How a single-program activity ended.
struct BackgroundEnd {
  BackgroundKind kind = BackgroundKind::kNone;
  std::optional<ProcessExit> exit;  // nullopt when cancelled or out of time
  bool cancelled = false;
  bool timed_out = false;
};

// Runs one program for an activity other than a big job and reports its end on a tick.
class BackgroundJob {
 public:
  BackgroundJob(ProcessRunner& runner, Clock& clock, BackgroundState& state)
      : runner_(runner), clock_(clock), state_(state) {}

  // The guard, then the start; the activity is busy until its end has been reported.
  // A time limit ends the wait (the program is left running, as a solve would be).
  Status Start(BackgroundKind kind, const ProcessSpec& spec,
               std::function<void(const BackgroundEnd&)> on_end,
               std::optional<std::chrono::seconds> time_limit = std::nullopt);
  // One timer tick: reports the end (at most once) and frees the activity. The wait
  // window's Cancel counts as an end. True when an end was reported.
  bool Tick(bool cancel_pressed = false);
  bool Busy() const { return busy_; }
  std::optional<ProcessHandle> handle() const {
    return busy_ ? std::optional<ProcessHandle>(handle_) : std::nullopt;
  }

 private:
  ProcessRunner& runner_;
  Clock& clock_;
  BackgroundState& state_;
  bool busy_ = false;
  BackgroundKind kind_ = BackgroundKind::kNone;
  ProcessHandle handle_;
  TimePoint started_{};
  std::optional<std::chrono::seconds> limit_;
  std::function<void(const BackgroundEnd&)> on_end_;
  // Programs given up on (cancel, time limit); reaped when they end.
  std::vector<ProcessHandle> orphans_;
};

}  // namespace yl::jobs
