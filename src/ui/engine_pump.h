#pragma once
// Runs the application's polled work from the Qt event loop: a one-second timer, and a
// socket notifier on each running part's pidfd so a part that ends is handled at once.

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace yl {

class PolledWork;

class EnginePump : public QObject {
  Q_OBJECT
 public:
  // `tick` runs on every wake; after it the notifiers follow work.WaitHandles().
  EnginePump(PolledWork& work, std::function<void()> tick, QObject* parent = nullptr);
  ~EnginePump() override;

  void Start();
  void Stop();
  // The handles' notifiers are brought in line with the work's running parts; call it
  // after starting work outside a tick.
  void Sync();

 private:
  void Wake();

  PolledWork& work_;
  std::function<void()> tick_;
  QTimer timer_;
  std::map<int, std::unique_ptr<QSocketNotifier>> notifiers_;  // by pidfd
  bool in_tick_ = false;
};

}  // namespace yl
