// Without a display the window cannot open: `yearloom` says how to run batch mode instead
// and exits 2; `yearloom-batch` never needs one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/process.h"
#include "support/program_run.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

struct Ran {
  ProcessExit exit;
  std::string output;
};

Ran RunBare(const std::string& program, const std::vector<std::string>& args,
            const std::string& output) {
  PosixProcessRunner runner;
  ProcessSpec spec{BinPath(program), args, "", WindowState::kNormal, output};
  auto h = runner.Start(spec);
  EXPECT_TRUE(h) << h.error();
  Ran r;
  if (!h) return r;
  for (int i = 0; i < 600; ++i) {
    if (auto e = runner.Poll(*h)) {
      r.exit = *e;
      break;
    }
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
  }
  r.output = ReadFileBytes(output);
  return r;
}

class NoDisplayTest : public IsolatedEnvTest {};

TEST_F(NoDisplayTest, TheWindowProgramSaysHowToRunBatchModeAndExits2) {
  env.Unset("DISPLAY");
  env.Unset("WAYLAND_DISPLAY");
  const Ran window = RunBare("yearloom", {}, scratch / "window.txt");
  EXPECT_TRUE(window.exit.exited_normally);
  EXPECT_EQ(window.exit.code, 2);
  EXPECT_THAT(window.output, HasSubstr("there is no display"));
  EXPECT_THAT(window.output, HasSubstr("yearloom all SIMDETAILS.ds1"));

  const Ran version = RunBare("yearloom", {"--version"}, scratch / "version.txt");
  EXPECT_EQ(version.exit.code, 0);
  EXPECT_THAT(version.output, HasSubstr("Yearloom"));

  const Ran batch = RunBare("yearloom-batch", {}, scratch / "batch.txt");
  EXPECT_EQ(batch.exit.code, 2);
  EXPECT_THAT(batch.output, HasSubstr("Usage: yearloom"));
}

TEST_F(NoDisplayTest, TheViewerSaysItNeedsADisplayAndExits2) {
  env.Unset("DISPLAY");
  env.Unset("WAYLAND_DISPLAY");
  const Ran viewer = RunBare("yearloom-view", {scratch / "x.sl4"}, scratch / "viewer.txt");
  EXPECT_TRUE(viewer.exit.exited_normally);
  EXPECT_EQ(viewer.exit.code, 2);
  EXPECT_THAT(viewer.output, HasSubstr("there is no display"));

  const Ran bare = RunBare("yearloom-view", {}, scratch / "bare.txt");
  EXPECT_EQ(bare.exit.code, 2);
  EXPECT_THAT(bare.output, HasSubstr("Usage: yearloom-view"));
}

}  // namespace
}  // namespace yl::testing
