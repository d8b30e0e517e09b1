#include "app/log_commands.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class LogCommandsTest : public IsolatedEnvTest {
 protected:
  std::string keep = scratch.MakeDir("keep");
  ScriptedPrompter prompter;
  std::vector<std::string> shown;
  ShowReadOnly show = [this](const std::string& p) { shown.push_back(p); };
};

TEST_F(LogCommandsTest, JobsLogOnOffRestartAndView) {
  const std::string log = keep + "/bigjobs.log";
  ViewJobsLog(keep, prompter, show);
  EXPECT_EQ(prompter.Last().text, "There is no Jobs Log File.");
  EXPECT_TRUE(ToggleAddToJobsLog(false, keep, prompter));
  EXPECT_EQ(prompter.Last().text, "Will add to Jobs Log File:\r\n" + log);
  EXPECT_TRUE(FileExists(log));
  WriteFileBytes(log, "old lines\n");
  EXPECT_FALSE(ToggleAddToJobsLog(true, keep, prompter));
  EXPECT_EQ(prompter.Last().text, "Will not add to the Jobs Log File");
  EXPECT_EQ(ReadFileBytes(log), "old lines\n");  // turning off keeps what was logged
  EXPECT_TRUE(RestartJobsLog(keep, prompter));
  EXPECT_EQ(ReadFileBytes(log), "");
  EXPECT_EQ(prompter.Last().text, "Have restarted Jobs Log File:\r\n" + log);
  ViewJobsLog(keep, prompter, show);
  EXPECT_EQ(shown, std::vector<std::string>{log});
}

TEST_F(LogCommandsTest, BatchJobsLogAndLastErrorLog) {
  ViewBatchJobsLog(keep, prompter, show);
  EXPECT_EQ(prompter.Last().text, "There is no Batch Jobs Log File.");
  WriteFileBytes(keep + "/BatchJobs.log", "a batch\n");
  RestartBatchJobsLog(keep, prompter);
  EXPECT_EQ(ReadFileBytes(keep + "/BatchJobs.log"), "");
  EXPECT_EQ(prompter.Last().text,
            "Have restarted Batch Jobs Log File:\r\n" + keep + "/BatchJobs.log");
  ViewLastErrorLog(keep, show);
  EXPECT_TRUE(shown.empty());
  WriteFileBytes(keep + "/lasterr.log", "error\n");
  ViewLastErrorLog(keep, show);
  EXPECT_EQ(shown, std::vector<std::string>{keep + "/lasterr.log"});
}

}  // namespace
}  // namespace yl::testing
