#include "app/commands/temp_dir_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

TEST(TempDirName, IgnoreSwitchesTheWarningOff) {
  ScriptedPrompter p;
  p.Answer(kIgnore);
  EXPECT_TRUE(WarnAboutTempDirName(p, "Yearloom", "/a.b"));
  EXPECT_EQ(p.Last().buttons, kOk | kIgnore | kHelp);
  EXPECT_EQ(p.Last().help_topic, 7079);
  EXPECT_EQ(p.Last().text,
            "Yearloom is currently attempting to use the folder\r\n  /a.b\r\nas a directory "
            "for temporary files.\r\n\r\nWe suggest that the name\r\n of the Temporary "
            "Directory contains only\r\n letters (A-Z) and digits (0-9).\r\n[  :  and  /  are "
            "also allowed.]\r\nThe folder currently set (see above) contains other "
            "characters.\r\n\r\nWe encourage you to choose a different folder to\r\n be the "
            "Temporary Directory used by Yearloom via the\r\n \"Specify Temporary Directory\" "
            "menu item\r\n  under the Options menu.\r\n\r\n[Click on the Ignore button if you "
            "do not want this warning shown again.]");
  EXPECT_FALSE(WarnAboutTempDirName(p, "Yearloom", "/a.b"));
}

class SpecifyTempDirTest : public testing::IsolatedEnvTest {
 protected:
  SpecifyTempDirTest() {
    paths.program_dir = scratch.MakeDir("prog");
    paths.keep_dir = scratch.MakeDir("keep");
    paths.temp_dir = scratch.MakeDir("cur");
    paths.default_temp_dir = scratch.MakeDir("dflt");
    paths.next_temp_dir = paths.temp_dir;
    paths.work_dir = scratch.MakeDir("work");
  }
  // Answers Yes to "change it?" and No (option 2) to the choice, then gives dir.
  void ChooseViaDialog(const std::string& dir) {
    prompter.Answer(kYes);
    prompter.Answer(kNo);
    prompter.directory_answers.push_back(dir);
    SpecifyTemporaryDirectory(prompter, "Yearloom", paths);
  }
  ScriptedPrompter prompter;
  SessionPaths paths;
};

TEST_F(SpecifyTempDirTest, NoLeavesEverything) {
  prompter.Answer(kNo);
  SpecifyTemporaryDirectory(prompter, "Yearloom", paths);
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].buttons, kYes | kNo | kHelp);
  EXPECT_EQ(paths.next_temp_dir, paths.temp_dir);
}

TEST_F(SpecifyTempDirTest, OptionOneTakesTheDefaultForNextStart) {
  std::string in_use = paths.temp_dir;
  prompter.Answer(kYes);
  prompter.Answer(kYes);
  SpecifyTemporaryDirectory(prompter, "Yearloom", paths);
  EXPECT_EQ(paths.next_temp_dir, paths.default_temp_dir);
  EXPECT_EQ(paths.temp_dir, in_use);
  EXPECT_EQ(prompter.Last().text,
            "This new directory will be used when you run \r\nYearloom the next time.");
  EXPECT_NE(prompter.messages[1].text.find("1. Change to the default directory, which is\r\n    " +
                                           paths.default_temp_dir),
            std::string::npos);
}

TEST_F(SpecifyTempDirTest, RefusalsLeaveTheNextDirectoryAlone) {
  std::string exe_dir = scratch.MakeDir("exes");
  scratch.Write("exes/tool.EXE", "x");
  std::string open_dir = scratch.MakeDir("open");
  ::chmod(open_dir.c_str(), 0777);
  struct Case {
    std::string dir;
    std::string text;
  };
  const std::string sorry = "Sorry, the directory\r\n";
  const std::string cannot = "\r\ncannot be used as the temporary directory";
  const Case cases[] = {
      {paths.temp_dir, "Output directory is unchanged\r\nDOUBLE-clicking is required"},
      {"/", sorry + "/" + cannot + "."},
      {paths.program_dir, sorry + paths.program_dir + cannot + "."},
      {paths.keep_dir + "/", sorry + paths.keep_dir + cannot + "."},
      {paths.work_dir, sorry + paths.work_dir + cannot + "."},
      {scratch / "home", sorry + scratch.path() + "/home" + cannot + "."},
      {exe_dir, sorry + exe_dir + cannot +
                    " since\r\nit contains .EXE files which it may not be safe to delete."},
      {open_dir, sorry + open_dir + cannot +
                     " since\r\nit belongs to another user or other users can write to it."},
  };
  for (const Case& c : cases) {
    prompter.messages.clear();
    ChooseViaDialog(c.dir);
    EXPECT_EQ(prompter.Last().text, c.text) << c.dir;
    EXPECT_EQ(paths.next_temp_dir, paths.temp_dir);
  }
}

TEST_F(SpecifyTempDirTest, UnwritableDirectoryIsAnError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root can write anywhere";
  std::string ro = scratch.MakeDir("ro");
  ::chmod(ro.c_str(), 0500);
  ChooseViaDialog(ro);
  EXPECT_EQ(prompter.Last().kind, MessageKind::kError);
  EXPECT_EQ(prompter.Last().text, "You cannot write to directory:" + ro);
}

TEST_F(SpecifyTempDirTest, NonEmptyDirectoryAsksAndSuspiciousNameAsksAgain) {
  std::string dir = scratch.MakeDir("new$tmp");
  scratch.Write("new$tmp/.hidden", "x");
  prompter.Answer(kYes);
  prompter.Answer(kNo);
  prompter.directory_answers.push_back(dir);
  prompter.Answer(kYes);  // not empty: continue
  prompter.Answer(kNo);   // suspicious name: do not continue
  SpecifyTemporaryDirectory(prompter, "Yearloom", paths);
  ASSERT_EQ(prompter.messages.size(), 5u);
  EXPECT_EQ(prompter.messages[2].text, "The directory\r\n" + dir +
                                           "\r\nyou have nominated is not empty. Do you want to "
                                           "continue?");
  EXPECT_EQ(prompter.Last().text, "Making no change in the name of the Temporary Directory.");
  EXPECT_EQ(paths.next_temp_dir, paths.temp_dir);
}

TEST_F(SpecifyTempDirTest, TypedDirectoryIsCreatedAndAccepted) {
  std::string dir = scratch.path() + "/fresh/temp";
  ChooseViaDialog(dir);
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_EQ(paths.next_temp_dir, dir);
  EXPECT_EQ(prompter.directory_requests.at(0).start_dir, paths.temp_dir);
}

class TempDirCheckTest : public testing::IsolatedEnvTest {
 protected:
  TempDirCheckTest() {
    paths.program_dir = scratch.MakeDir("my prog");
    paths.temp_dir = scratch.MakeDir("tmp/SVTEMP/YRLMtemp");
  }
  ScriptedPrompter prompter;
  SessionPaths paths;
};

TEST_F(TempDirCheckTest, MissingProgramCannotStart) {
  EXPECT_FALSE(PrepareTempDirCheck(prompter, paths, scratch / "nomodel"));
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].text,
            "Program \r\n  " + paths.program_dir + "/solexa\r\ndoes not exist.");
  EXPECT_EQ(prompter.messages[1].text,
            "Unable to start Temp Dir check.\r\nSuggest that you change the Temp Dir, restart "
            "the program and try again.");
}

TEST_F(TempDirCheckTest, WritesFilesAndJudgesByTheReport) {
  scratch.Write("my prog/solexa", "");
  scratch.Write("tmp/SVTEMP/YRLMtemp/tdcheck.rpt", "stale");
  auto job = PrepareTempDirCheck(prompter, paths, "");
  ASSERT_TRUE(job);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_FALSE(FileExists(job->report_file));
  EXPECT_EQ(testing::ReadFileBytes(job->sti_file), "rpt\n" + job->report_file + "\n \n");
  EXPECT_EQ(testing::ReadFileBytes(job->script_file), "cd '" + paths.program_dir + "'\n'" +
                                                          paths.program_dir + "/solexa' -sti '" +
                                                          paths.temp_dir + "/tdcheck.sti'\n");
  EXPECT_EQ(job->argv, (std::vector<std::string>{"/bin/sh", paths.temp_dir + "/tdcheck.sh"}));

  EXPECT_FALSE(JudgeTempDirCheck(prompter, *job));
  EXPECT_EQ(prompter.Last().kind, MessageKind::kError);
  EXPECT_EQ(prompter.Last().help_topic, 7079);
  testing::WriteFileBytes(job->report_file, "[Result]\nStatus=ok\n");
  EXPECT_TRUE(JudgeTempDirCheck(prompter, *job));
  EXPECT_EQ(prompter.Last().text, "Temporary Directory\r\n  " + paths.temp_dir + "\r\nseems ok.");
}

TEST_F(TempDirCheckTest, ModelProgramIsPreferred) {
  std::string model = scratch.Write("model/demo.exe", "");
  auto job = PrepareTempDirCheck(prompter, paths, model);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->program, model);
}

}  // namespace
}  // namespace yl
