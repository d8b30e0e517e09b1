#pragma once
// Starting the programs a job runs, and asking without blocking whether they have ended.
// Arguments go to the program as a vector: no command line is ever parsed by a shell
// unless a script is explicitly run ("/bin/sh script").

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl {

enum class WindowState { kNormal, kMinimised };  // a hint; ignored on Linux

struct ProcessSpec {
  std::string program;            // a path; a bare name is looked up on PATH
  std::vector<std::string> args;  // without the program itself
  std::string working_dir;
  WindowState window = WindowState::kNormal;
  std::string output_file;  // stdout and stderr go here when set, else to /dev/null
};

struct ProcessHandle {
  int pid = -1;
  int pidfd = -1;  // lets a wait wake the moment the child ends
  bool valid() const { return pid > 0; }
};

struct ProcessExit {
  bool exited_normally = false;  // false: killed by a signal
  int code = 0;                  // exit code, or the signal number (0: not known)
};

// "" for an exit with status 0 (or an end whose status is not known); otherwise
// "was killed by signal 11 (SIGSEGV)" or "ended with exit status 3".
std::string ProcessEndProblem(const ProcessExit& exit);

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  virtual Result<ProcessHandle> Start(const ProcessSpec& spec) = 0;
  // A zero-time check: the exit once the process has ended (its resources are released
  // then, and the handle must not be polled again), nullopt while it runs.
  virtual std::optional<ProcessExit> Poll(ProcessHandle& handle) = 0;
  // Blocks until one of the processes ends, `wake_fd` (when not -1) becomes readable or
  // the timeout passes, whichever is first; returns at once when one has already ended.
  // Nothing is reaped.
  virtual void WaitForAnyEnd(const std::vector<ProcessHandle>& handles,
                             std::chrono::milliseconds timeout, int wake_fd) = 0;
  void WaitForAnyEnd(const std::vector<ProcessHandle>& handles, std::chrono::milliseconds timeout) {
    WaitForAnyEnd(handles, timeout, -1);
  }
  // Asks the process to stop (SIGTERM), then forces it after the grace period.
  virtual void Terminate(ProcessHandle& handle, std::chrono::milliseconds grace) = 0;
  // Without waiting: SIGTERM, or SIGKILL when `force`, to the process and its group.
  virtual void SendStop(const ProcessHandle& handle, bool force) = 0;
};

class PosixProcessRunner : public ProcessRunner {
 public:
  Result<ProcessHandle> Start(const ProcessSpec& spec) override;
  std::optional<ProcessExit> Poll(ProcessHandle& handle) override;
  using ProcessRunner::WaitForAnyEnd;
  void WaitForAnyEnd(const std::vector<ProcessHandle>& handles, std::chrono::milliseconds timeout,
                     int wake_fd) override;
  void Terminate(ProcessHandle& handle, std::chrono::milliseconds grace) override;
  void SendStop(const ProcessHandle& handle, bool force) override;
};

}  // namespace yl
