#include "app/commands/shell_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

class ShellTest : public testing::IsolatedEnvTest {
 protected:
  ShellTest() {
    std::string bin = scratch.MakeDir("bin");
    std::string term = scratch.Write("bin/x-terminal-emulator", "#!/bin/sh\n");
    ::chmod(term.c_str(), 0755);
    request.target_dir = scratch.MakeDir("it's $HOME");
    request.temp_dir = scratch.MakeDir("tmp");
    request.program_dir = scratch.MakeDir("prog");
    request.path_list = bin;
  }
  testing::ScriptedPrompter prompter;
  ShellRequest request;
  std::vector<std::vector<std::string>> started;
  DetachedStarter starter = [this](const std::vector<std::string>& argv, const std::string& cwd) {
    started.push_back(argv);
    EXPECT_EQ(cwd, request.program_dir);
    return Ok();
  };
};

TEST_F(ShellTest, WritesQuotedScriptUnderAFreeName) {
  scratch.Write("tmp/wg1.sh", "taken");
  int counter = 0;
  ASSERT_TRUE(ShellInDirectory(prompter, request, counter, starter));
  EXPECT_EQ(counter, 2);
  std::string script = request.temp_dir + "/wg2.sh";
  EXPECT_EQ(testing::ReadFileBytes(script), "cd '" + scratch.path() +
                                                "/it'\\''s $HOME' || exit 1\nexec '" +
                                                scratch.path() + "/bin/x-terminal-emulator'\n");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{"/bin/sh", script}));
}

TEST_F(ShellTest, FallsBackToTerminalVariable) {
  request.path_list = scratch.MakeDir("empty");
  env.Set("TERMINAL", "xterm -fa mono");
  int counter = 0;
  ASSERT_TRUE(ShellInDirectory(prompter, request, counter, starter));
  EXPECT_NE(testing::ReadFileBytes(request.temp_dir + "/wg1.sh").find("\nexec $TERMINAL\n"),
            std::string::npos);
  env.Unset("TERMINAL");
  EXPECT_FALSE(ShellInDirectory(prompter, request, counter, starter));
  EXPECT_EQ(prompter.Last().text, "Unable to run x-terminal-emulator");
}

TEST_F(ShellTest, StartFailureDeletesTheScript) {
  int counter = 0;
  DetachedStarter failing = [](const std::vector<std::string>&, const std::string&) {
    return Status(Fail("spawn failed"));
  };
  EXPECT_FALSE(ShellInDirectory(prompter, request, counter, failing));
  EXPECT_FALSE(FileExists(request.temp_dir + "/wg1.sh"));
  EXPECT_EQ(prompter.Last().text, "Unable to run /bin/sh");
  EXPECT_EQ(prompter.Last().help_topic, 7036);
}

TEST_F(ShellTest, UnwritableTemporaryDirectory) {
  int counter = 0;
  request.temp_dir = scratch / "missing";
  EXPECT_FALSE(ShellInDirectory(prompter, request, counter, starter));
  EXPECT_EQ(prompter.Last().text,
            "An IO error occured creating " + scratch.path() + "/missing/wg1.sh.");
  EXPECT_TRUE(started.empty());
}

}  // namespace
}  // namespace yl
