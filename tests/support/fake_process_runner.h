#pragma once
// A process runner that starts nothing: the way ninja tests its builder, the engine's
// scheduling is tested against scripted processes. Each start is recorded; a test (or
// the on_start hook, which may write the files a real program would) decides when each
// process ends and how.

#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/process.h"

namespace yl::testing {

class FakeProcessRunner : public ProcessRunner {
 public:
  struct Started {
    int pid;
    ProcessSpec spec;
    bool ended = false;
    bool reaped = false;
    ProcessExit exit;
  };

  Result<ProcessHandle> Start(const ProcessSpec& spec) override;
  std::optional<ProcessExit> Poll(ProcessHandle& handle) override;
  using ProcessRunner::WaitForAnyEnd;
  void WaitForAnyEnd(const std::vector<ProcessHandle>& handles, std::chrono::milliseconds timeout,
                     int wake_fd) override;
  void Terminate(ProcessHandle& handle, std::chrono::milliseconds grace) override;
  // SIGTERM ends a fake process unless it ignores it; SIGKILL always does.
  void SendStop(const ProcessHandle& handle, bool force) override;
  std::set<int> ignores_sigterm;

  // Ends a started process with the given exit code.
  void Finish(int pid, int code = 0);
  // Ends every running process, in start order.
  void FinishAll(int code = 0);
  std::vector<int> Running() const;
  Started& Get(int pid) { return started_.at(pid); }
  const std::vector<int>& StartOrder() const { return order_; }

  // Called on every start; returning an error makes the start fail. May call Finish().
  std::function<Status(Started&)> on_start;
  // Number of WaitForAnyEnd calls, and the total time they were asked to wait.
  int waits = 0;
  std::chrono::milliseconds waited{0};

 private:
  int next_pid_ = 1000;
  std::map<int, Started> started_;
  std::vector<int> order_;
};

}  // namespace yl::testing
