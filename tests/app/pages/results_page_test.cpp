// The Results page on the demo's setup: its enabling rules, its lists, the file each
// choice names, and what the viewers are started with (a fake starter records it).

#include "app/pages/results_page.h"

#include <gtest/gtest.h>

#include "app/demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

struct Started {
  std::vector<std::string> argv;
  std::string cwd;
};

class ResultsPageTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    session = LoadSession(p);
    p.messages.clear();
  }
  ResultsPage Page() {
    return ResultsPage(session, p, [this] {
      ViewerContext c(p, session.settings.options);
      c.program_dir = scratch / "no programs";
      c.work_dir = session.sim.SimDir;
      c.model_dir = "/model dir";
      c.path_list = "";
      c.start = [this](const std::vector<std::string>& argv, const std::string& cwd) -> Status {
        started.push_back({argv, cwd});
        return Ok();
      };
      if (with_builtin) {
        c.builtin_viewer = [this](const std::vector<std::string>& files) { builtin = files; };
      }
      return c;
    });
  }

  ScriptedPrompter p;
  Session session;
  std::vector<Started> started;
  std::vector<std::string> builtin;
  bool with_builtin = true;
};

TEST_F(ResultsPageTest, StyleAndRunEnabling) {
  struct Case {
    bool no_rerun, yony_diffs, abbreviated;
    int run;
    bool cumulative, yony_enabled, cum_enabled;
  };
  const Case cases[] = {
      {false, false, false, kResultsDifferences, true, false, true},
      {false, true, false, kResultsDifferences, true, true, true},
      {false, false, false, kPolicy, false, true, true},
      {false, false, true, kBase, false, true, false},
      {true, false, false, kResultsDifferences, true, false, true},
  };
  for (const Case& c : cases) {
    Options& o = session.settings.options;
    o.NoRerun = c.no_rerun;
    o.YonYDifferencesSs = c.yony_diffs;
    o.AbbreviatedSsJobs = c.abbreviated;
    ResultsPage page = Page();
    page.SelectRun(c.run);
    const ResultsPageFields v = page.View();
    SCOPED_TRACE(
        ::testing::PrintToString(std::vector<int>{c.no_rerun, c.yony_diffs, c.abbreviated, c.run}));
    EXPECT_EQ(v.cumulative, c.cumulative);
    EXPECT_EQ(v.yony_enabled, c.yony_enabled);
    EXPECT_EQ(v.cum_enabled, c.cum_enabled);
    EXPECT_EQ(v.run_captions[kResultsDifferences],
              c.no_rerun ? "&Differences - Policy v Base" : "&Differences - Policy v Rerun");
    EXPECT_EQ(v.run_enabled[kRerun], !c.no_rerun);
    EXPECT_EQ(v.year_run_enabled[kRerun], !c.no_rerun);
    // A disabled style cannot be chosen.
    page.SelectCumulative(!c.cumulative);
    EXPECT_EQ(page.View().cumulative, c.cumulative ? !c.yony_enabled : c.cum_enabled)
        << "switching style";
  }
  // The Rerun cannot be chosen in two-run mode.
  ResultsPage page = Page();
  page.SelectRun(kRerun);
  EXPECT_EQ(page.View().run, kBase);
}

TEST_F(ResultsPageTest, FileAndYearLists) {
  ResultsPage page = Page();
  ResultsPageFields v = page.View();
  // Gragg with three solutions: the accuracy summary is listed; PARAMS (constant) and
  // LAGDATA (lagged) are not.
  EXPECT_EQ(v.files, (std::vector<std::string>{"Solution file", "Log file", "Accuracy Summary",
                                               "BASEDATA", "SUMMARY"}));
  ASSERT_EQ(v.years.size(), 11u);
  EXPECT_EQ(v.years[0], "2020 (base year)");
  EXPECT_EQ(v.years[1], "2021 (pre-policy)");
  EXPECT_EQ(v.years[3], "2023 (pre-policy)");
  EXPECT_EQ(v.years[4], "2024");
  EXPECT_EQ(v.year_row, 1);  // the Base's first simulated year
  page.SelectYearRun(kPolicy);
  EXPECT_EQ(page.View().year_row, 4);  // the Policy starts with the first policy shock
  EXPECT_EQ(page.View().note, kResultsUnknownNote);  // nothing has run: no record

  session.settings.methods.Normal.Method = StartupSolMethod();  // Johansen
  EXPECT_EQ(Page().View().files.size(), 4u);
}

TEST_F(ResultsPageTest, TheFileOfEachChoice) {
  struct Case {
    int run;
    const char* file;
    int row;
    std::string expect;  // a path ending, or the start of the refusal
  };
  const TSimRecord& sim = session.sim;
  const Case cases[] = {
      {kBase, "Log file", 0, "There is no Log file for the base year."},
      {kPolicy, "Solution file", 2,
       "There is no Solution file for any pre-policy year.\r\nThe first policy sim is for year "
       "2024."},
      {kPolicy, "BASEDATA", 1,
       "There are no data files for this run before the last pre-policy year.\r\n[The last "
       "pre-policy year is 2023.]"},
      {kBase, "SUMMARY", 10,
       "This file is output each year so there is no version of it for the final year."},
      {kBase, "Solution file", 3, SolutionFileName(sim, kBase, 3, false)},
      {kPolicy, "BASEDATA", 3, UpdatedFileName(sim, 1, kBase, 3, false)},  // the Base's
      {kPolicy, "BASEDATA", 5, UpdatedFileName(sim, 1, kPolicy, 5, false)},
      {kBase, "BASEDATA", 0, "basedata.har"},  // the Model/Data page's file
  };
  for (const Case& c : cases) {
    ResultsPage page = Page();
    page.SelectYearRun(c.run);
    const std::vector<std::string> files = page.View().files;
    page.SelectFile(
        static_cast<int>(std::find(files.begin(), files.end(), c.file) - files.begin()));
    page.SelectYear(c.row);
    const ResultsPage::YearFile f = page.ChosenYearFile();
    SCOPED_TRACE(std::string(c.file) + " row " + std::to_string(c.row));
    if (f.path.empty()) {
      EXPECT_EQ(f.refusal, c.expect);
    } else {
      EXPECT_EQ(FileNameOf(f.path), c.expect);
    }
  }
}

TEST_F(ResultsPageTest, ViewersGetTheirFiles) {
  ResultsPage page = Page();
  page.SelectFile(0);
  page.SelectYear(1);
  // Nothing has run yet.
  page.ViewYearFile();
  EXPECT_EQ(p.Last().text, "File " + page.ChosenYearFile().path + " does not exist.");
  EXPECT_TRUE(started.empty());

  // A solution file with no solution viewer anywhere opens in the built-in viewer (after
  // saying that no record vouches for it).
  const std::string sol = page.ChosenYearFile().path;
  WriteFileBytes(sol, "x");
  page.ViewYearFile();
  EXPECT_EQ(p.Last().text, "Can see no indication that this run completed successfully.");
  EXPECT_EQ(builtin, std::vector<std::string>{sol});
  // A chosen viewer starts detached in the model's directory.
  const std::string tabulon = scratch.Write("viewers/tabulon", "");
  session.settings.options.Tabulon = tabulon;
  page.ViewYearFile();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].argv, (std::vector<std::string>{tabulon, sol}));
  EXPECT_EQ(started[0].cwd, "/model dir");

  // The log goes to the editor (none found here: the desktop's opener), in the working dir.
  page.SelectFile(1);
  WriteFileBytes(page.ChosenYearFile().path, "log");
  page.ViewYearFile();
  EXPECT_EQ(started.back().argv,
            (std::vector<std::string>{"xdg-open", page.ChosenYearFile().path}));
  EXPECT_EQ(started.back().cwd, session.sim.SimDir);

  // Without the built-in viewer (batch) a missing header-array viewer is asked for.
  with_builtin = false;
  page.SelectFile(3);  // BASEDATA
  page.SelectYear(0);
  p.file_answers.push_back({});
  page.ViewYearFile();
  EXPECT_EQ(p.file_requests.back().title, "Select Halvo to use");
}

TEST_F(ResultsPageTest, SpreadsheetGraphsAndDeeproMessages) {
  ResultsPage page = Page();
  page.SelectRun(kPolicy);
  page.SelectAllYears(false);
  page.Spreadsheet();
  EXPECT_EQ(p.Last().help_topic, kHelpNoFilesForSomeYears);
  EXPECT_NE(p.Last().text.find("-*.csv\r\nso nothing to show."), std::string::npos)
      << p.Last().text;
  EXPECT_TRUE(p.file_requests.empty());

  // All years, no record: say so, then open it anyway with the desktop's opener.
  page.SelectAllYears(true);
  page.Spreadsheet();
  const std::string csv =
      WorkFile(SpreadsheetFileName(session.sim, kPolicy, JobKind::kTallyr, PartKind::kYonY,
                                   {1, session.sim.NumYears}, 4, false));
  EXPECT_EQ(p.Last().text, "File \r\n" + csv + "\r\ndoes not exist.");
  EXPECT_TRUE(started.empty());
  WriteFileBytes(csv, "csv");
  page.Spreadsheet();
  EXPECT_EQ(p.Last().text, "Can see no indication that this run completed successfully.");
  ASSERT_FALSE(started.empty());
  EXPECT_EQ(started.back().argv.front(), "xdg-open");

  // An RSL file without the year range in its name is refused.
  page.SelectAllYears(false);
  p.file_answers.push_back({WorkFile("results.rsl")});
  page.Deepro();
  EXPECT_EQ(p.Last().text, "This file is not of the expected form. Cannot load.");

  // Graphs without a solution viewer draw the assembled results in the built-in viewer.
  page.SelectAllYears(true);
  page.Graphs();
  EXPECT_EQ(builtin, std::vector<std::string>{csv});
  // With a solution viewer, its graphs of the run's sequence file ("P" for cumulative).
  const std::string tabulon = scratch.Write("viewers/tabulon", "");
  session.settings.options.Tabulon = tabulon;
  page.SelectCumulative(true);
  const std::string seq =
      WorkFile(SequenceFileName(session.sim, kPolicy, false, {1, session.sim.NumYears}, 4, false));
  WriteFileBytes(seq, "seq");
  page.Graphs();
  EXPECT_EQ(started.back().argv, (std::vector<std::string>{tabulon, "#P" + seq})) << p.Last().text;
}

TEST_F(ResultsPageTest, PresetAfterAJob) {
  jobs::PlanRequest all = jobs::PlanRequest::Nothing(sim.NumYears);
  for (int r = kBase; r <= kPolicy; ++r) {
    all.first_sim_year[r] = 1;
    all.last_sim_year[r] = sim.NumYears;
    all.first_ss_year[r] = 1;
    all.last_ss_year[r] = sim.NumYears;
  }
  ResultsPage page = Page();
  page.Preset(all, true);
  ResultsPageFields v = page.View();
  EXPECT_EQ(v.run, kResultsDifferences);
  EXPECT_TRUE(v.cumulative);
  EXPECT_TRUE(v.all_years);
  EXPECT_EQ(v.year_run, kPolicy);

  jobs::PlanRequest base_part = jobs::PlanRequest::Nothing(sim.NumYears);
  base_part.first_sim_year[kBase] = 1;
  base_part.last_sim_year[kBase] = 3;
  base_part.first_ss_year[kBase] = 1;
  base_part.last_ss_year[kBase] = 3;
  page.Preset(base_part, false);
  v = page.View();
  EXPECT_EQ(v.run, kBase);
  EXPECT_FALSE(v.cumulative);
  EXPECT_FALSE(v.all_years);  // the spreadsheets cover only part of the run
  EXPECT_EQ(v.year_run, kBase);
}

// The forward-looking demo: the first year's expectations differ by iteration.
class ResultsPageReTest : public ResultsPageTest {
 protected:
  void SetUp() override {
    ds1 = "demoremodel-BS1B-BR1R-PL1P.ds1";
    setup_options = {"--rational-expectations"};
    ResultsPageTest::SetUp();
    session.settings.options.Re.DoRe = true;
  }
  int FileRow(ResultsPage& page, const std::string& caption) {
    const auto files = page.View().files;
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (files[i].find(caption) != std::string::npos) return static_cast<int>(i);
    }
    ADD_FAILURE() << "no " << caption;
    return 0;
  }
};

TEST_F(ResultsPageReTest, TheFirstYearsExpectationsAreAskedForByIteration) {
  ResultsPage page = Page();
  page.SelectFile(FileRow(page, "ROREXT"));
  page.SelectYear(0);  // the Base's first year reads the first-year file
  const std::string first_year_file = page.ChosenYearFile().path;

  p.Answer(kNo);  // the file the first iteration used
  page.ViewYearFile();
  EXPECT_NE(p.messages.front().text.find("changes from one iteration to the next"),
            std::string::npos);
  EXPECT_NE(p.Last().text.find("_BIter1.har does not exist."), std::string::npos) << p.Last().text;

  p.Answer(kYes);  // the file an extra iteration would start from: the last year's update
  page.ViewYearFile();
  EXPECT_NE(p.Last().text.find("2030"), std::string::npos) << p.Last().text;
  EXPECT_EQ(p.Last().text.find(first_year_file), std::string::npos);

  // A later year's file is not the run's first input: nothing to ask.
  const std::size_t asked = p.messages.size();
  page.SelectYear(3);
  page.ViewYearFile();
  EXPECT_EQ(p.messages.size(), asked + 1);
  EXPECT_EQ(p.Last().text.find("changes from one iteration"), std::string::npos);
}

}  // namespace
}  // namespace yl::testing
