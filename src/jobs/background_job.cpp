#include "jobs/background_job.h"

namespace yl::jobs {

Status BackgroundJobGuard(const BackgroundState& state) {
  if (state.kind != BackgroundKind::kNone) {
    return Fail("Internal Program Error.\r\nCannot start job since Job number " +
                std::to_string(static_cast<int>(state.kind)) + " is already running.");
  }
  if (state.timer_enabled) {
    return Fail("Internal Program Error.\r\nCannot start job since timer is currently enabled.");
  }
  return Ok();
}

Status BackgroundJob::Start(BackgroundKind kind, const ProcessSpec& spec,
                            std::function<void(const BackgroundEnd&)> on_end,
                            std::optional<std::chrono::seconds> time_limit) {
  if (auto g = BackgroundJobGuard(state_); !g) return g;
  auto h = runner_.Start(spec);
  if (!h) return Fail(h.error());
  handle_ = *h;
  kind_ = kind;
  busy_ = true;
  started_ = clock_.Now();
  limit_ = time_limit;
  on_end_ = std::move(on_end);
  state_.kind = kind;
  state_.timer_enabled = true;
  return Ok();
}

bool BackgroundJob::Tick(bool cancel_pressed) {
  std::erase_if(orphans_, [&](ProcessHandle& h) { return runner_.Poll(h).has_value(); });
  if (!busy_) return false;
  BackgroundEnd end;
  end.kind = kind_;
  if (cancel_pressed) {
    end.cancelled = true;
  } else if (auto e = runner_.Poll(handle_)) {
    end.exit = *e;
  } else if (limit_ && clock_.Now() - started_ >= *limit_) {
    end.timed_out = true;
  } else {
    return false;
  }
  if (!end.exit) orphans_.push_back(handle_);
  busy_ = false;
  state_.kind = BackgroundKind::kNone;
  state_.timer_enabled = false;
  // The activity is free before its owner hears of the end, so the owner may start the
  // next one (a "Check all" sequence does).
  auto on_end = std::move(on_end_);
  if (on_end) on_end(end);
  return true;
}

}  // namespace yl::jobs
