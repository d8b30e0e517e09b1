#include "jobs/background_job.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/fake_process_runner.h"

namespace yl::jobs {
namespace {

using testing::FakeProcessRunner;

TEST(BackgroundJobGuard, RefusesWhileAnActivityOrTheTimerIsBusy) {
  EXPECT_TRUE(BackgroundJobGuard({}));
  EXPECT_EQ(BackgroundJobGuard({BackgroundKind::kModelCheck, true}).error(),
            "Internal Program Error.\r\nCannot start job since Job number 51 is already running.");
  EXPECT_EQ(BackgroundJobGuard({BackgroundKind::kNone, true}).error(),
            "Internal Program Error.\r\nCannot start job since timer is currently enabled.");
}

class BackgroundJobTest : public ::testing::Test {
 protected:
  FakeProcessRunner runner;
  FakeClock clock{TimePoint{} + std::chrono::hours(1)};
  BackgroundState state;
  BackgroundJob job{runner, clock, state};
  std::vector<BackgroundEnd> ends;
  std::function<void(const BackgroundEnd&)> record = [this](const BackgroundEnd& e) {
    ends.push_back(e);
  };
};

TEST_F(BackgroundJobTest, ReportsTheEndOnceAndFreesTheTimerFirst) {
  ASSERT_TRUE(job.Start(BackgroundKind::kTempDirCheck,
                        {"check", {}, "/", WindowState::kMinimised, ""},
                        [&](const BackgroundEnd& e) {
                          ends.push_back(e);
                          EXPECT_EQ(state.kind, BackgroundKind::kNone);  // free for the next one
                        }));
  EXPECT_EQ(state.kind, BackgroundKind::kTempDirCheck);
  EXPECT_FALSE(job.Start(BackgroundKind::kModelCheck, {}, record));  // one at a time
  EXPECT_FALSE(job.Tick());
  runner.Finish(runner.StartOrder().at(0), 3);
  EXPECT_TRUE(job.Tick());
  EXPECT_FALSE(job.Tick());
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0].kind, BackgroundKind::kTempDirCheck);
  ASSERT_TRUE(ends[0].exit);
  EXPECT_EQ(ends[0].exit->code, 3);
  EXPECT_FALSE(state.timer_enabled);
}

TEST_F(BackgroundJobTest, CancelAndTimeLimitEndTheWaitButNotTheProgram) {
  ASSERT_TRUE(job.Start(BackgroundKind::kClosureCheck, {}, record));
  EXPECT_TRUE(job.Tick(true));
  ASSERT_TRUE(job.Start(BackgroundKind::kModelCheck, {}, record, std::chrono::seconds(20)));
  clock.Advance(std::chrono::seconds(19));
  EXPECT_FALSE(job.Tick());
  clock.Advance(std::chrono::seconds(1));
  EXPECT_TRUE(job.Tick());
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_TRUE(ends[0].cancelled);
  EXPECT_TRUE(ends[1].timed_out);
  EXPECT_EQ(runner.Running().size(), 2u);  // left running ...
  runner.FinishAll();
  job.Tick();
  for (int pid : runner.StartOrder()) EXPECT_TRUE(runner.Get(pid).reaped);  // ... and reaped
}

}  // namespace
}  // namespace yl::jobs
