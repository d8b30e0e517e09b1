#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "platform/process.h"

extern char** environ;

namespace yl {

namespace {

int OpenPidFd(int pid) {
#ifdef SYS_pidfd_open
  long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#else
  (void)pid;
#endif
  return -1;
}

// True when the process has ended, without reaping it.
bool HasEnded(int pid) {
  siginfo_t info;
  std::memset(&info, 0, sizeof info);
  if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
    return errno == ECHILD;
  }
  return info.si_pid == pid;
}

class SpawnActions {
 public:
  SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

std::string ProcessEndProblem(const ProcessExit& exit) {
  if (exit.code == 0) return "";
  if (exit.exited_normally) return "ended with exit status " + std::to_string(exit.code);
  // The abbreviation, not strsignal's text, which follows the message locale.
  const char* name = ::sigabbrev_np(exit.code);
  return "was killed by signal " + std::to_string(exit.code) +
         (name ? " (SIG" + std::string(name) + ")" : std::string());
}

Result<ProcessHandle> PosixProcessRunner::Start(const ProcessSpec& spec) {
  if (spec.program.empty()) return Fail("No program to start");
  SpawnActions actions;
  ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
  const std::string& out = spec.output_file.empty() ? std::string("/dev/null") : spec.output_file;
  ::posix_spawn_file_actions_addopen(actions.get(), 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0666);
  ::posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
  if (!spec.working_dir.empty()) {
    ::posix_spawn_file_actions_addchdir_np(actions.get(), spec.working_dir.c_str());
  }

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(spec.program.c_str()));
  for (const auto& a : spec.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  // The child starts in its own process group, so a terminal's Ctrl-C aimed at us does
  // not also kill a week-long solve, and Terminate can reach its children too.
  posix_spawnattr_t attr;
  ::posix_spawnattr_init(&attr);
  // A clean signal mask and default stop signals: batch mode blocks SIGINT and SIGTERM
  // for itself, and a child must still be stoppable.
  sigset_t none, stop;
  ::sigemptyset(&none);
  ::sigemptyset(&stop);
  ::sigaddset(&stop, SIGINT);
  ::sigaddset(&stop, SIGTERM);
  ::posix_spawnattr_setflags(
      &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  ::posix_spawnattr_setpgroup(&attr, 0);
  ::posix_spawnattr_setsigmask(&attr, &none);
  ::posix_spawnattr_setsigdefault(&attr, &stop);

  pid_t pid = -1;
  int rc = ::posix_spawnp(&pid, spec.program.c_str(), actions.get(), &attr, argv.data(), environ);
  ::posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    return Fail("Cannot start " + spec.program + ": " + std::strerror(rc));
  }
  ProcessHandle h;
  h.pid = pid;
  h.pidfd = OpenPidFd(pid);
  return h;
}

std::optional<ProcessExit> PosixProcessRunner::Poll(ProcessHandle& handle) {
  if (!handle.valid()) return ProcessExit{};
  int status = 0;
  pid_t r = ::waitpid(handle.pid, &status, WNOHANG);
  if (r == 0) return std::nullopt;
  ProcessExit exit;
  if (r == handle.pid) {
    if (WIFEXITED(status)) {
      exit.exited_normally = true;
      exit.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      exit.code = WTERMSIG(status);
    }
  }
  if (handle.pidfd >= 0) ::close(handle.pidfd);
  handle = ProcessHandle{};
  return exit;
}

void PosixProcessRunner::WaitForAnyEnd(const std::vector<ProcessHandle>& handles,
                                       std::chrono::milliseconds timeout, int wake_fd) {
  std::vector<pollfd> fds;
  if (wake_fd >= 0) fds.push_back(pollfd{wake_fd, POLLIN, 0});
  bool all_pollable = true;
  for (const auto& h : handles) {
    if (!h.valid()) continue;
    if (HasEnded(h.pid)) return;
    if (h.pidfd >= 0) {
      fds.push_back(pollfd{h.pidfd, POLLIN, 0});
    } else {
      all_pollable = false;
    }
  }
  if (fds.empty() && all_pollable) {
    std::this_thread::sleep_for(timeout);
    return;
  }
  if (all_pollable || wake_fd >= 0) {
    int r;
    do {
      r = ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
    } while (r < 0 && errno == EINTR);
    return;
  }
  // Without pidfds: look every few milliseconds.
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    for (const auto& h : handles) {
      if (h.valid() && HasEnded(h.pid)) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void PosixProcessRunner::SendStop(const ProcessHandle& handle, bool force) {
  if (!handle.valid() || HasEnded(handle.pid)) return;
  const int sig = force ? SIGKILL : SIGTERM;
  ::kill(-handle.pid, sig);
  ::kill(handle.pid, sig);
}

void PosixProcessRunner::Terminate(ProcessHandle& handle, std::chrono::milliseconds grace) {
  if (!handle.valid()) return;
  ::kill(-handle.pid, SIGTERM);
  ::kill(handle.pid, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + grace;
  while (!HasEnded(handle.pid) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!HasEnded(handle.pid)) {
    ::kill(-handle.pid, SIGKILL);
    ::kill(handle.pid, SIGKILL);
  }
}

}  // namespace yl
