// Solex as a process, on stored-input files written the way the main program writes them.

#include <gtest/gtest.h>

#include "harfile/sol_info.h"
#include "platform/files.h"
#include "support/scratch_dir.h"
#include "toolfiles/csv_table.h"
#include "toolfiles_support.h"

namespace yl::testing {
namespace {

using toolfiles::ReadTableFile;

const std::vector<std::string> kSect{"AGR", "MAN", "SER"};

std::vector<FixtureVar> Vars(double scale) {
  return {
      Var("y", "Output volume", "SECT", kSect, {1.5 * scale, 2 * scale, -3 * scale}, {1, 1, 1}),
      Var("a", "Productivity", "SECT", kSect, {0.25 * scale, -0.5 * scale, 0.125}, {0, 0, 0}),
      Var("tpow", "Power of the output tax", "SECT", kSect, {0, -5 * scale, 0}, {1, 1, 0}),
      Var("w", "Wage, nominal", "", {}, {4 * scale}, {0}),
  };
}

class SolexTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    WriteFixtureHar(scratch / "bs1b-2021.sl4", Vars(1), 2021);
    WriteFixtureHar(scratch / "bs1b-2022.sl4", Vars(2), 2022);
    scratch.Write("demo.map", "! results\ny      Output volume\nw\ntpow : MAN ! only MAN\n");
  }
  std::string Sol(int year) const { return scratch / ("bs1b-" + std::to_string(year)); }
  ProgramRun Run(const std::string& sti_name, const std::string& answers) {
    const std::string sti = scratch / sti_name;
    return RunTool("solexa", scratch.path(), sti,
                   "bat\nrpt\n" + ChangeExt(sti, ".rpt") + "\n" + answers);
  }
  static std::string ChangeExt(const std::string& p, const std::string& ext) {
    return p.substr(0, p.rfind('.')) + ext;
  }
  // The "csv" answers of one year.
  std::string CsvYear(int year, bool more) const {
    return std::string(more ? "mor\n" : "") +
           "nlv  ! No levels results\nsss  ! Write Short SS file\n \n \n" + Sol(year) +
           "    ! Sl4 file\nc  ! just the cum column\ny  ! use SS mapping file\n" +
           scratch / "demo.map" + "    ! SS Map file\n" +
           scratch / ("bs1b-" + std::to_string(year)) + ".csv    ! Output CSV file\n";
  }
};

TEST_F(SolexTest, SolPartWritesSliTheReaderAcceptsAndTheSolFile) {
  auto r = Run("bs1b-2021st7.st7", "wsi\nnlv  ! No levels results\n \n" + Sol(2021) +
                                       "    ! Sl4 file\nc  ! the cum column\n"
                                       "n  ! do not use HA mapping file\n" +
                                       scratch / "bs1b-2021.mpx" + "    ! HA Map file\n" +
                                       Sol(2021) + ".sli    ! Output SLI file\n" + Sol(2021) +
                                       ".sol    ! Output SOL file\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  EXPECT_FALSE(FileExists(scratch / "bs1b-2021.mpx"));  // asked for, but nothing reads it
  SolInfoRec rec;
  auto s = RequestSolInfo(Sol(2021) + ".sli", kProgramSolInfoRequest,
                          {.lower_case_keys = true, .component_flags = true}, rec);
  ASSERT_TRUE(s) << s.error();
  ASSERT_EQ(rec.variables.size(), 4u);
  EXPECT_EQ(rec.variables[0].status, 'X');
  EXPECT_EQ(rec.variables[1].status, 'N');
  EXPECT_EQ(rec.variables[2].status, 'x');
  EXPECT_EQ(rec.variables[2].exogenous, 2);
  EXPECT_EQ(rec.description.front(), "autosim BS1B2021");
  HarFile sol = ReadHarOrFail(Sol(2021) + ".sol");
  EXPECT_EQ(HeaderValues(sol, "C001"), (std::vector<double>{1.5, 2, -3}));
  EXPECT_EQ(HeaderValues(sol, "C004"), (std::vector<double>{4}));
}

TEST_F(SolexTest, CsvPartWritesOneTablePerYearFromTheMapping) {
  // The second year as written with "Accumulate Subtotals Results": a blank column answer.
  std::string second = CsvYear(2022, false);
  second.replace(second.find("c  ! just"), 1, "  ");
  auto r = Run("bs1bcsv.st4", CsvYear(2021, true) + second);
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  auto t = ReadTableFile(scratch / "bs1b-2022.csv");
  ASSERT_TRUE(t) << t.error();
  EXPECT_EQ(t->kind, "year");
  EXPECT_EQ(t->columns, (std::vector<std::string>{"2022"}));
  ASSERT_EQ(t->rows.size(), 5u);  // y: 3, w: 1, tpow: MAN only
  EXPECT_EQ(t->rows[0].Component(), "y(AGR)");
  EXPECT_EQ(t->rows[2].values, (std::vector<double>{-6}));
  EXPECT_EQ(t->rows[3].Component(), "w");
  EXPECT_EQ(t->rows[3].label, "Wage, nominal");
  EXPECT_EQ(t->rows[4].Component(), "tpow(MAN)");
  EXPECT_EQ(t->rows[4].values, (std::vector<double>{-10}));
  EXPECT_TRUE(FileExists(scratch / "bs1b-2021.csv"));
}

TEST_F(SolexTest, SssolAndSolpolWriteResultsFiles) {
  auto r = Run("bs1bsssol.st4", " \n" + Sol(2022) +
                                    "    ! Sl4 file\nc  ! just the cum column\n"
                                    "n  ! do not use HAR mapping file\n"
                                    "xx.xx  ! HAR mapping file created\n" +
                                    scratch / "bs1b-2022.rsl" + "    ! Output SOL file\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  HarFile rsl = ReadHarOrFail(scratch / "bs1b-2022.rsl");
  EXPECT_EQ(HeaderValues(rsl, "C003"), (std::vector<double>{0, -10, 0}));
  ASSERT_NE(rsl.Find("YRNG"), nullptr);
  EXPECT_EQ(rsl.Find("YRNG")->ints, (std::vector<std::int32_t>{2022, 2022}));

  r = Run("br122st8.st8", "nlv  ! No levels results\n \n" + Sol(2022) +
                              "    ! Sl4 file\nc  ! the cum column\n"
                              "n  ! do not use HA mapping file\n" +
                              scratch / "pl1p-2022.mpz" + "    ! HA Map file\n" +
                              scratch / "bs1b-br1r-2022.rsl" + "    ! Output .RSL (SOL) file\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  HarFile shocks = ReadHarOrFail(scratch / "bs1b-br1r-2022.rsl");
  EXPECT_EQ(HeaderValues(shocks, "C002"), (std::vector<double>{0.5, -1, 0.125}));
  EXPECT_FALSE(FileExists(scratch / "pl1p-2022.mpz"));
}

TEST_F(SolexTest, Solex1WritesShocksWithTheBaseValues) {
  scratch.Write("br1r2021.map", "! exogenous\ny\ntpow : AGR MAN  ! 2 of 3\nw\n");
  auto r = Run("br121st3.st3", "nlv\nshk  ! Write SHK file\n \n" + Sol(2021) +
                                   "    ! Solution file\nc  ! the cum column\n"
                                   "y  ! use SS mapping file\n" +
                                   scratch / "br1r2021.map" + "    ! SS Map file\n" +
                                   scratch / "bs1b-br1r-2021.bot" + "    ! Output BOT file\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  const std::string bot = scratch.Read("bs1b-br1r-2021.bot");
  EXPECT_NE(bot.find("shock y = 1.5 2 -3 ;\n"), std::string::npos) << bot;
  EXPECT_NE(bot.find("shock tpow(\"AGR\",\"MAN\") = 0 -5 ;\n"), std::string::npos) << bot;
  EXPECT_NE(bot.find("shock w = 4 ;\n"), std::string::npos) << bot;
}

TEST_F(SolexTest, BadInputFailsWithAReportAndLeavesNoOutput) {
  struct Case {
    std::string name;
    std::string answers;
    std::string error;
  };
  const std::string rsl_tail = "c\nn\nxx.xx\n" + scratch / "out.rsl" + "\n";
  scratch.Write("garbage.sl4", "this is not a header array file");
  for (const Case& c : {
           Case{"truncated", " \n" + Sol(2021) + "\nc\nn\n",
                "Stored-input file ends too early: expected the HA mapping file name"},
           Case{"extra", " \n" + Sol(2021) + "\n" + rsl_tail + "more\n",
                "unexpected extra answer \"more\""},
           Case{"unknown option", "zzz\n \n" + Sol(2021) + "\n" + rsl_tail,
                "unknown option \"zzz\""},
           Case{"missing solution", " \n" + scratch / "nosuch" + "\n" + rsl_tail,
                "The solution file " + scratch / "nosuch.sl4" + " does not exist"},
           Case{"unreadable solution", " \n" + scratch / "garbage" + "\n" + rsl_tail,
                "Cannot read solution file " + scratch / "garbage.sl4"},
           Case{"output replaces input", " \n" + Sol(2021) + "\nc\nn\nxx\n" + Sol(2021) + ".sl4\n",
                "would replace the input file"},
           Case{"map variable unknown",
                "nlv\nsss\n \n \n" + Sol(2021) + "\nc\ny\n" + scratch.Write("bad.map", "zz\n") +
                    "\n" + scratch / "out.csv\n",
                "Variable zz of the mapping file"},
       }) {
    scratch.Write("out.rsl", "stale");
    auto r = Run("bad.st4", c.answers);
    ASSERT_TRUE(r.has_report) << c.name;
    EXPECT_EQ(r.Key("Status"), "error") << c.name;
    EXPECT_NE(r.Key("Error").find(c.error), std::string::npos) << c.name << ": " << r.Key("Error");
    EXPECT_NE(r.Key("Log file"), "") << c.name;
    EXPECT_FALSE(FileExists(scratch / "out.csv")) << c.name;
    EXPECT_TRUE(FileExists(Sol(2021) + ".sl4")) << c.name;
  }
}

TEST_F(SolexTest, AFailedLaterYearRemovesTheEarlierYearsOutputs) {
  std::string answers = CsvYear(2021, true) + CsvYear(2022, false);
  answers.replace(answers.find(Sol(2022) + "    ! Sl4"), Sol(2022).size(), scratch / "gone");
  auto r = Run("bs1bcsv.st4", answers);
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_FALSE(FileExists(scratch / "bs1b-2021.csv"));
  EXPECT_FALSE(FileExists(scratch / "bs1b-2022.csv"));
}

}  // namespace
}  // namespace yl::testing
