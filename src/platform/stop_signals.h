#pragma once
// SIGINT and SIGTERM delivered as a readable descriptor, so the wait for the next child
// to end also wakes for them and batch mode can stop cleanly. While an object exists the
// two signals are blocked in this process; programs started meanwhile get a clean mask.

#include <string>

namespace yl {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Readable once a signal is pending; -1 when signals could not be caught.
  int fd() const { return fd_; }
  // The first stop signal received (SIGINT or SIGTERM), or 0; never blocks.
  int Received();

 private:
  int fd_ = -1;
  int received_ = 0;
  bool mask_changed_ = false;
  unsigned char old_mask_[128] = {};  // the sigset_t to restore
};

// "SIGTERM" and the like.
std::string SignalName(int signal);

}  // namespace yl
