#pragma once
// One run at a time per keep directory. The lock is an flock on a file there, so the
// kernel drops it when its holders die, and a crashed run never blocks the next one. Its
// descriptor is inherited by every program started while it is held: a solve left
// running by a killed run still holds it, and no new run starts writing beside it.

#include <string>
#include <vector>

#include "core/status.h"

namespace yl {

struct LockHolder {
  int pid = 0;
  std::string command;  // the program's name, "" when it could not be read
};

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock without waiting. Fails with "held" set when another process holds it,
  // or with the system's reason when the file cannot be opened.
  static Result<InstanceLock> Acquire(const std::string& path, bool* held = nullptr);
  bool held() const { return fd_ >= 0; }
  // Gives up this process's hold; programs it started keep theirs until they end.
  void Release();

 private:
  int fd_ = -1;
};

// The processes that have the lock file open, so a refusal can name them.
std::vector<LockHolder> LockHolders(const std::string& path);

}  // namespace yl
