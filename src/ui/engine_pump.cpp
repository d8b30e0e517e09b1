#include "ui/engine_pump.h"

#include <QSocketNotifier>
#include <set>

#include "app/task_driver.h"

namespace yl {

EnginePump::EnginePump(PolledWork& work, std::function<void()> tick, QObject* parent)
    : QObject(parent), work_(work), tick_(std::move(tick)) {
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, [this] { Wake(); });
}

EnginePump::~EnginePump() = default;

void EnginePump::Start() {
  timer_.start();
  Sync();
}

void EnginePump::Stop() {
  timer_.stop();
  notifiers_.clear();
}

void EnginePump::Wake() {
  if (in_tick_) return;
  // A question asked inside the tick runs its own event loop. The notifiers sleep until
  // the tick is over: an ended part's pidfd stays readable and would fire without end,
  // and a pidfd the tick closes must not be watched (its number may be reused).
  for (auto& [fd, notifier] : notifiers_) notifier->setEnabled(false);
  in_tick_ = true;
  tick_();
  in_tick_ = false;
  Sync();
}

void EnginePump::Sync() {
  std::set<int> wanted;
  for (const ProcessHandle& h : work_.WaitHandles()) {
    if (h.pidfd >= 0) wanted.insert(h.pidfd);
  }
  for (auto it = notifiers_.begin(); it != notifiers_.end();) {
    if (!wanted.contains(it->first)) {
      it = notifiers_.erase(it);
    } else {
      it->second->setEnabled(true);
      ++it;
    }
  }
  for (int fd : wanted) {
    if (notifiers_.contains(fd)) continue;
    auto n = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(n.get(), &QSocketNotifier::activated, this, [this] { Wake(); });
    notifiers_.emplace(fd, std::move(n));
  }
}

}  // namespace yl
