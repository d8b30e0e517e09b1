// The pump wakes the work the moment a process ends, and a question asked inside a tick
// (a nested event loop) never starts a second tick.

#include "ui/engine_pump.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "app/task_driver.h"
#include "platform/process.h"

namespace yl {
namespace {

class OneProcessWork : public PolledWork {
 public:
  explicit OneProcessWork(ProcessHandle h) : handle_(h) {}
  bool Running() const override { return handle_.valid(); }
  std::vector<ProcessHandle> WaitHandles() const override {
    if (!handle_.valid()) return {};
    return {handle_};
  }
  void Poll() override {}
  void Abort(const std::string&) override {}
  void TerminateLeftovers() override {}
  bool Reap(ProcessRunner& runner) {
    if (!handle_.valid()) return false;
    if (!runner.Poll(handle_)) return false;
    handle_ = {};
    return true;
  }

 private:
  ProcessHandle handle_;
};

TEST(EnginePump, AnEndedProcessWakesTheTickAtOnceAndAQuestionInsideItIsNotReentered) {
  PosixProcessRunner runner;
  ProcessSpec spec;
  spec.program = "/bin/true";
  auto started = runner.Start(spec);
  ASSERT_TRUE(started) << started.error();
  OneProcessWork work(*started);

  int ticks = 0;
  int depth = 0;
  int deepest = 0;
  bool reaped = false;
  EnginePump pump(work, [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (ticks == 1) {
      // A modal question: the ended process's pidfd stays readable all the while.
      QEventLoop question;
      QTimer::singleShot(300, &question, &QEventLoop::quit);
      question.exec();
    } else {
      reaped = work.Reap(runner);
    }
    --depth;
  });
  pump.Start();

  QEventLoop wait;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (reaped) wait.quit();
  });
  poll.start(10);
  QTimer::singleShot(900, &wait, &QEventLoop::quit);  // before the one-second timer
  wait.exec();

  EXPECT_TRUE(reaped) << "the process's end woke no tick before the timer";
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace yl
