#include "app/commands/re_commands.h"

#include <gtest/gtest.h>

#include "app/fake_controller.h"

#include "platform/files.h"
#include "ratex/re_test_support.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

class ReCommandsTest : public testing::ReTest, protected testing::FakeControllerParts {
 protected:
  ReCommandsTest() : app(FakeControllerEnvironment()) {}
  void SetUp() override {
    ReTest::SetUp();
    Session& s = app.session();
    s.sim = *sim;
    s.settings.first_year_files = {"File ROREXT = rorext.har ;", "File ITER = iter.har ;",
                                   "File EXTRA = extra.har ;"};
    s.settings.paths.temp_dir = context.temp_dir;
    s.settings.model.ModelFile = scratch / "demomodel";
    s.settings.options.Re.DoRe = true;
  }
  AppController app;
};

TEST_F(ReCommandsTest, ExtraIterationsCountFromWhatTheRunHasDone) {
  Options& o = app.session().settings.options;
  o.Re.BaseIterations = 30;
  WriteIter(UpdatedFileName(*sim, 2, kBase, testing::kYears, false), 31);
  EXPECT_FALSE(ExtraIterationsCommand(app, prompter, kBase));
  EXPECT_EQ(
      prompter.Last().text,
      "You have done 30 iterations.\r\nThe Sim Overview page indicates that you wish to do "
      "a total of 30 iterations.\r\nThis leaves no iterations to do.\r\nPlease adjust the Sim "
      "Overview page if you want to do more iterations.");

  // The Policy counts its own iterations only.
  o.Re.PolicyIterations = 25;
  WriteIter(UpdatedFileName(*sim, 2, kPolicy, testing::kYears, false), 52);
  prompter.Answer(kCancel);
  EXPECT_FALSE(ExtraIterationsCommand(app, prompter, kPolicy));
  EXPECT_EQ(
      prompter.Last().text,
      "You have done 20 iterations.\r\nThe Sim Overview page indicates that you wish to do "
      "a total of 25 iterations.\r\nPlease click OK if this is correct or Cancel if it is not "
      "correct.");
  EXPECT_EQ(prompter.Last().buttons, kOk | kCancel | kHelp);
  EXPECT_FALSE(app.TaskRunning());
}

TEST_F(ReCommandsTest, KeptFilesAreOfferedByPatternOrSaidToBeMissing) {
  const Session& s = app.session();
  std::vector<std::string> opened;
  auto open = [&](const std::string& f) { opened.push_back(f); };
  ViewKeptFilesCommand(s, prompter, kBase, KeptReFile::kRorext, open);
  EXPECT_EQ(prompter.Last().text, "Convergence ROREXT Files for the Base are of the form \r\n   " +
                                      InDir("rex-bs1b-2005_BIter*.har") +
                                      "\r\nThere are no such files.");
  scratch.Write("BS1B_iter3.har", "x");
  prompter.file_answers.push_back({InDir("BS1B_iter3.har")});
  ViewKeptFilesCommand(s, prompter, kBase, KeptReFile::kConvergenceHar, open);
  ASSERT_EQ(prompter.file_requests.size(), 1u);
  EXPECT_EQ(prompter.file_requests[0].title, "Select Convergence HAR File");
  EXPECT_EQ(prompter.file_requests[0].filter, "Conv. HAR Files (BS1B_iter*.har)|BS1B_iter*.har");
  EXPECT_EQ(opened, std::vector<std::string>{InDir("BS1B_iter3.har")});
  EXPECT_EQ(KeptFilePattern(s, kPolicy, KeptReFile::kCsv), InDir("bs1b-br1r-pl1p-ssy_PIter*.csv"));
}

TEST_F(ReCommandsTest, ViewingAFirstYearReFileAsksWhichOneToShow) {
  const std::string prepared = InDir("iter.har");
  prompter.Answer(kNo);
  EXPECT_EQ(ReInputFileToShow(app.session(), prompter, "ITER", prepared), "");
  EXPECT_EQ(prompter.Last().text,
            "Since you are doing Rational Expectations a la Corvan, the file\r\n" + prepared +
                "\r\nyou prepared will be altered by demomodel.\r\nIt looks as if you have not yet "
                "run any interations of the Base.\r\nClick \"Yes\" if you wish to see the file you "
                "prepared, otherwise click \"No\".");
  const std::string copy = InDir("itrBS100_BIter1.har");
  scratch.Write("itrBS100_BIter1.har", "x");
  prompter.Answer(kNo);
  EXPECT_EQ(ReInputFileToShow(app.session(), prompter, "iter", prepared), copy)
      << prompter.Last().text;
  EXPECT_NE(prompter.Last().text.find("click \"No\" if you wish to see the file\r\n  " + copy +
                                      "\r\nused by demomodel when you ran the FIRST iteration"),
            std::string::npos);
  prompter.Answer(kYes);
  EXPECT_EQ(ReInputFileToShow(app.session(), prompter, "ITER", prepared), prepared);
  const std::size_t asked = prompter.messages.size();
  EXPECT_EQ(ReInputFileToShow(app.session(), prompter, "BASEDATA", "b.har"), "b.har");
  app.session().settings.options.Re.DoRe = false;
  EXPECT_EQ(ReInputFileToShow(app.session(), prompter, "ITER", prepared), prepared);
  EXPECT_EQ(prompter.messages.size(), asked);
}

}  // namespace
}  // namespace yl
