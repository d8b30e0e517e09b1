#include "support/fake_process_runner.h"

namespace yl::testing {

Result<ProcessHandle> FakeProcessRunner::Start(const ProcessSpec& spec) {
  int pid = next_pid_++;
  Started s{pid, spec, false, false, ProcessExit{}};
  auto [it, inserted] = started_.emplace(pid, s);
  order_.push_back(pid);
  if (on_start) {
    if (auto r = on_start(it->second); !r) {
      started_.erase(it);
      order_.pop_back();
      return std::unexpected(r.error());
    }
  }
  ProcessHandle h;
  h.pid = pid;
  return h;
}

std::optional<ProcessExit> FakeProcessRunner::Poll(ProcessHandle& handle) {
  auto it = started_.find(handle.pid);
  if (it == started_.end()) return ProcessExit{};
  if (!it->second.ended) return std::nullopt;
  it->second.reaped = true;
  handle = ProcessHandle{};
  return it->second.exit;
}

void FakeProcessRunner::WaitForAnyEnd(const std::vector<ProcessHandle>&,
                                      std::chrono::milliseconds timeout, int) {
  ++waits;
  waited += timeout;
}

void FakeProcessRunner::Terminate(ProcessHandle& handle, std::chrono::milliseconds) {
  auto it = started_.find(handle.pid);
  if (it == started_.end() || it->second.ended) return;
  it->second.ended = true;
  it->second.exit = ProcessExit{false, 15};
}

void FakeProcessRunner::SendStop(const ProcessHandle& handle, bool force) {
  auto it = started_.find(handle.pid);
  if (it == started_.end() || it->second.ended) return;
  if (!force && ignores_sigterm.count(handle.pid)) return;
  it->second.ended = true;
  it->second.exit = ProcessExit{false, force ? 9 : 15};
}

void FakeProcessRunner::Finish(int pid, int code) {
  Started& s = started_.at(pid);
  s.ended = true;
  s.exit = ProcessExit{true, code};
}

void FakeProcessRunner::FinishAll(int code) {
  for (int pid : order_) {
    auto it = started_.find(pid);
    if (it != started_.end() && !it->second.ended) Finish(pid, code);
  }
}

std::vector<int> FakeProcessRunner::Running() const {
  std::vector<int> r;
  for (int pid : order_) {
    auto it = started_.find(pid);
    if (it != started_.end() && !it->second.ended) r.push_back(pid);
  }
  return r;
}

}  // namespace yl::testing
