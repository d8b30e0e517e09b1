#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/fake_process_runner.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using namespace std::chrono_literals;

std::optional<ProcessExit> WaitFor(ProcessRunner& r, ProcessHandle& h) {
  for (int i = 0; i < 500; ++i) {
    if (auto e = r.Poll(h)) return e;
    r.WaitForAnyEnd({h}, 20ms);
  }
  return std::nullopt;
}

TEST(PosixProcessRunner, RunsInItsDirectoryWithArgumentsPassedVerbatim) {
  testing::ScratchDir d;
  std::string dir = d.MakeDir("my dir $HOME 'q'");
  PosixProcessRunner runner;
  ProcessSpec spec;
  spec.program = "/bin/sh";
  spec.args = {"-c", "pwd > out.txt; printf '%s' \"$1\" >> out.txt; exit 3", "sh",
               "a b \"c\" $HOME"};
  spec.working_dir = dir;
  auto h = runner.Start(spec);
  ASSERT_TRUE(h) << h.error();
  auto exit = WaitFor(runner, *h);
  ASSERT_TRUE(exit);
  EXPECT_TRUE(exit->exited_normally);
  EXPECT_EQ(exit->code, 3);
  EXPECT_EQ(d.Read("my dir $HOME 'q'/out.txt"), dir + "\na b \"c\" $HOME");
}

TEST(PosixProcessRunner, WaitWakesWhenAChildEndsNotAtTheTimeout) {
  PosixProcessRunner runner;
  auto slow = runner.Start({"/bin/sleep", {"30"}, "", WindowState::kMinimised, ""});
  auto quick = runner.Start({"/bin/true", {}, "", WindowState::kNormal, ""});
  ASSERT_TRUE(slow && quick);
  auto t0 = std::chrono::steady_clock::now();
  runner.WaitForAnyEnd({*slow, *quick}, 10s);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 5s);
  EXPECT_TRUE(WaitFor(runner, *quick));
  EXPECT_FALSE(runner.Poll(*slow));
  runner.Terminate(*slow, 500ms);
  auto e = WaitFor(runner, *slow);
  ASSERT_TRUE(e);
  EXPECT_FALSE(e->exited_normally);
}

TEST(PosixProcessRunner, MissingProgramFailsToStart) {
  PosixProcessRunner runner;
  auto h = runner.Start({"/nonexistent/solexa", {}, "", WindowState::kNormal, ""});
  ASSERT_FALSE(h);
  EXPECT_NE(h.error().find("/nonexistent/solexa"), std::string::npos);
}

TEST(FakeProcessRunner, ProcessesEndWhenTheTestSays) {
  testing::FakeProcessRunner runner;
  int hook_calls = 0;
  runner.on_start = [&](testing::FakeProcessRunner::Started& s) -> Status {
    ++hook_calls;
    if (s.spec.program == "broken") return Fail("Cannot start broken");
    return Ok();
  };
  auto a = runner.Start({"solexa", {"-sti", "x.sti"}, "/w", WindowState::kNormal, ""});
  auto b = runner.Start({"tallyra", {}, "/w", WindowState::kNormal, ""});
  EXPECT_FALSE(runner.Start({"broken", {}, "", WindowState::kNormal, ""}));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(hook_calls, 3);
  EXPECT_EQ(runner.Running(), (std::vector<int>{a->pid, b->pid}));
  EXPECT_FALSE(runner.Poll(*a));
  runner.Finish(b->pid, 2);
  auto e = runner.Poll(*b);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, 2);
  EXPECT_EQ(runner.Get(a->pid).spec.args[1], "x.sti");
}

}  // namespace
}  // namespace yl
