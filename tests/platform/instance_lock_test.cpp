#include "platform/instance_lock.h"

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/stop_signals.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using namespace std::chrono_literals;

TEST(InstanceLock, OneHolderAtATimeAndFreeAgainWhenReleased) {
  testing::ScratchDir d;
  const std::string path = d / "yearloom.lock";
  auto first = InstanceLock::Acquire(path);
  ASSERT_TRUE(first) << first.error();
  bool held = false;
  auto second = InstanceLock::Acquire(path, &held);
  EXPECT_FALSE(second);
  EXPECT_TRUE(held);
  first->Release();
  EXPECT_TRUE(InstanceLock::Acquire(path));
}

TEST(InstanceLock, ProgramsStartedWhileHeldKeepItUntilTheyEnd) {
  testing::ScratchDir d;
  const std::string path = d / "yearloom.lock";
  auto lock = InstanceLock::Acquire(path);
  ASSERT_TRUE(lock);
  PosixProcessRunner runner;
  auto child = runner.Start({"/bin/sleep", {"30"}, d.path(), WindowState::kNormal, ""});
  ASSERT_TRUE(child);
  lock->Release();

  bool held = false;
  EXPECT_FALSE(InstanceLock::Acquire(path, &held));
  EXPECT_TRUE(held);
  const std::vector<LockHolder> holders = LockHolders(path);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].pid, child->pid);
  EXPECT_EQ(holders[0].command, "sleep");

  runner.SendStop(*child, false);
  while (!runner.Poll(*child)) runner.WaitForAnyEnd({*child}, 50ms);
  EXPECT_TRUE(InstanceLock::Acquire(path));
  EXPECT_TRUE(LockHolders(path).empty());
}

TEST(InstanceLock, AnUnopenableLockFileIsAnErrorNotAHolder) {
  bool held = true;
  auto lock = InstanceLock::Acquire("/nonexistent-dir/yearloom.lock", &held);
  ASSERT_FALSE(lock);
  EXPECT_FALSE(held);
  EXPECT_NE(lock.error().find("/nonexistent-dir/yearloom.lock"), std::string::npos);
}

TEST(StopSignals, ASignalWakesTheWaitAndIsRemembered) {
  StopSignals signals;
  ASSERT_GE(signals.fd(), 0);
  EXPECT_EQ(signals.Received(), 0);
  ::kill(::getpid(), SIGTERM);
  PosixProcessRunner runner;
  const auto before = std::chrono::steady_clock::now();
  auto child = runner.Start({"/bin/sleep", {"5"}, "/", WindowState::kNormal, ""});
  ASSERT_TRUE(child);
  runner.WaitForAnyEnd({*child}, 3s, signals.fd());
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  EXPECT_EQ(signals.Received(), SIGTERM);
  EXPECT_EQ(signals.Received(), SIGTERM);
  EXPECT_EQ(SignalName(SIGTERM), "SIGTERM");
  // The child was not born with the signals blocked: SIGTERM ends it.
  runner.SendStop(*child, false);
  std::optional<ProcessExit> exit;
  while (!(exit = runner.Poll(*child))) runner.WaitForAnyEnd({*child}, 50ms);
  EXPECT_FALSE(exit->exited_normally);
  EXPECT_EQ(exit->code, SIGTERM);
}

TEST(ProcessEndProblem, SaysHowAProgramEndedBadly) {
  EXPECT_EQ(ProcessEndProblem({true, 0}), "");
  EXPECT_EQ(ProcessEndProblem({false, 0}), "");  // not known
  EXPECT_EQ(ProcessEndProblem({true, 3}), "ended with exit status 3");
  EXPECT_EQ(ProcessEndProblem({false, SIGSEGV}), "was killed by signal 11 (SIGSEGV)");
  EXPECT_EQ(ProcessEndProblem({false, SIGKILL}), "was killed by signal 9 (SIGKILL)");
}

}  // namespace
}  // namespace yl
