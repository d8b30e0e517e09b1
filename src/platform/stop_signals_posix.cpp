#include <signal.h>
#include <string.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstring>

#include "platform/stop_signals.h"

namespace yl {

static_assert(sizeof(sigset_t) <= 128, "sigset_t does not fit the saved mask");

StopSignals::StopSignals() {
  sigset_t stop;
  ::sigemptyset(&stop);
  ::sigaddset(&stop, SIGINT);
  ::sigaddset(&stop, SIGTERM);
  sigset_t old;
  if (::sigprocmask(SIG_BLOCK, &stop, &old) != 0) return;
  std::memcpy(old_mask_, &old, sizeof old);
  mask_changed_ = true;
  fd_ = ::signalfd(-1, &stop, SFD_NONBLOCK | SFD_CLOEXEC);
}

StopSignals::~StopSignals() {
  if (fd_ >= 0) ::close(fd_);
  if (mask_changed_) {
    sigset_t old;
    std::memcpy(&old, old_mask_, sizeof old);
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
  }
}

int StopSignals::Received() {
  if (received_ != 0 || fd_ < 0) return received_;
  signalfd_siginfo info;
  if (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    received_ = static_cast<int>(info.ssi_signo);
  }
  return received_;
}

std::string SignalName(int signal) {
  const char* abbrev = ::sigabbrev_np(signal);
  return abbrev ? "SIG" + std::string(abbrev) : "signal " + std::to_string(signal);
}

}  // namespace yl
