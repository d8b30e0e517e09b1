#include "sim/sim_inputs.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "sim/sim_naming.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;

const std::vector<std::string> kFirstYear = {
    "File DAT = dat0.har ; ! the DAT",
    "  file lag   =  /data/Lag0.HAR ;",
    "File CON = \"my con.har\" ; ! the CON",
    "File POL = pol0.har ; ! the POL",
};

class ResolveTest : public ::testing::Test {
 protected:
  ResolveTest() : sim(MakeSim(dir.path(), 2001, 10)) { testing::UseRoleModel(*sim); }
  InputFile Resolve(int f, int k, int r, int policy_start = 1, bool no_rerun = false) {
    return ResolveInputFile(*sim, f, k, r, policy_start, kFirstYear, no_rerun);
  }
  ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
};

struct Case {
  const char* what;
  bool long_names;
  int f;
  int k;
  int r;
  int policy_start;
  bool no_rerun;
  const char* file;
  int period;
  int run;
  int logical;
};

TEST_F(ResolveTest, ChainsPeriodsRunsAndRoles) {
  const Case cases[] = {
      {"updated, first period", true, 1, 1, kBase, 1, false, "dat0.har", 0, kBase, 1},
      {"updated reads last period's", true, 1, 2, kBase, 1, false, "dat-bs1b-2001.har", 1, kBase,
       1},
      {"lagged, period 3", true, 2, 3, kBase, 1, false, "dat-bs1b-2001.har", 1, kBase, 1},
      {"lagged, period 2: lag-of's first-year file", true, 2, 2, kBase, 1, false, "dat0.har", 0,
       kBase, 1},
      {"lagged, period 1: its own first-year file", true, 2, 1, kBase, 1, false, "/data/Lag0.HAR",
       0, kBase, 2},
      {"constant", true, 3, 7, kPolicy, 1, false, "my con.har", 0, kBase, 3},
      {"output only", true, 4, 3, kBase, 1, false, "sum-bs1b-2002-2003.har", 2, kBase, 4},
      {"output only, Rerun", true, 4, 3, kRerun, 1, false, "sum-bs1b-br1r-2002-2003.har", 2, kRerun,
       4},
      {"Policy before its start reads the Base", true, 1, 3, kPolicy, 3, false, "dat-bs1b-2002.har",
       2, kBase, 1},
      {"Policy after its start", true, 1, 4, kPolicy, 3, false, "dat-bs1b-br1r-pl1p-2003.har", 3,
       kPolicy, 1},
      {"lagged, first period after the start", true, 2, 4, kPolicy, 3, false, "dat-bs1b-2002.har",
       2, kBase, 1},
      {"lagged, later", true, 2, 5, kPolicy, 3, false, "dat-bs1b-br1r-pl1p-2003.har", 3, kPolicy,
       1},
      {"Policy reads the Rerun's version", true, 5, 5, kPolicy, 3, false, "pol-bs1b-br1r-2004.har",
       4, kRerun, 5},
      {"... the Base's without a Rerun", true, 5, 5, kPolicy, 3, true, "pol-bs1b-2004.har", 4,
       kBase, 5},
      {"Policy without Rerun, own data", true, 1, 5, kPolicy, 3, true, "dat-bs1b-pl1p-2004.har", 4,
       kPolicy, 1},
      {"short style updated", false, 1, 2, kBase, 1, false, "datbs101.har", 1, kBase, 1},
      {"short style Rerun", false, 1, 5, kRerun, 1, false, "datbr104.har", 4, kRerun, 1},
      {"short style output only", false, 4, 3, kBase, 1, false, "sumbs102.har", 2, kBase, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim->FileNames.LongNames = c.long_names;
    InputFile in = Resolve(c.f, c.k, c.r, c.policy_start, c.no_rerun);
    EXPECT_EQ(in.FileName, c.file);
    EXPECT_EQ(in.Period, c.period);
    EXPECT_EQ(in.Year, sim->Years[c.period]);
    EXPECT_EQ(in.Run, c.run);
    EXPECT_EQ(in.LogicalFile, c.logical);
    EXPECT_EQ(in.Note, "");
  }
}

TEST_F(ResolveTest, UpdatedInputReadsWhatThePreviousPeriodWrote) {
  for (int r = kBase; r <= kPolicy; ++r) {
    for (int k = 2; k <= 10; ++k) {
      EXPECT_EQ(Resolve(1, k, r).FileName, UpdatedFileName(*sim, 1, r, k - 1, false));
    }
  }
}

TEST_F(ResolveTest, EmptyListGivesJZeroAndMissingEntryGivesEmptyName) {
  InputFile in = ResolveInputFile(*sim, 1, 1, kBase, 1, {}, false);
  EXPECT_EQ(in.FileName, "");
  EXPECT_EQ(in.Note, "j zero");

  in = ResolveInputFile(*sim, 1, 1, kBase, 1, {"File OTHER = x.har ;"}, false);
  EXPECT_EQ(in.FileName, "");
  EXPECT_EQ(in.Note, "");
}

TEST_F(ResolveTest, BadIndexesAndImpossibleChainsAreInternalErrors) {
  EXPECT_THROW(Resolve(0, 1, kBase), InternalError);
  EXPECT_THROW(Resolve(6, 1, kBase), InternalError);  // 5 logical files
  EXPECT_THROW(Resolve(1, 0, kBase), InternalError);
  EXPECT_THROW(Resolve(1, 1, 4), InternalError);
  sim->DinFiles[2].LagOf = 9;  // lag of a file that does not exist
  EXPECT_THROW(Resolve(2, 3, kBase), InternalError);
  sim->DinFiles[2].LagOf = 2;  // lag of itself: no period writes its data before period 2
  EXPECT_THROW(Resolve(2, 2, kBase), InternalError);
}

TEST(FirstYearList, LinesAreMatchedIgnoringCaseAndBlanks) {
  const std::vector<std::string> list = {
      "File FIDX = wrong.har ;", "FILE  fid = \"a b;c.har\" ; ! x", "Fileparams = no.har ;",
      "File PARAMS = par.har",   "File SETINFO = ?? ; ! none",
  };
  EXPECT_EQ(FirstYearFileFor(list, "FID"), "a b;c.har");
  EXPECT_EQ(FirstYearFileFor(list, "params"), "par.har");
  EXPECT_EQ(FirstYearFileFor(list, "SETINFO"), "??");
  EXPECT_EQ(FirstYearFileFor(list, "EXTRA"), std::nullopt);
  EXPECT_EQ(FormatFirstYearLine("FID", "my data.har", "desc"),
            "File FID = \"my data.har\" ; ! desc");
}

TEST(FirstYearList, ParsedListFindsTheSameFirstEntry) {
  const std::vector<std::string> list = {"File FID = first.har ;", "file fid = second.har ;",
                                         "no statement", "File PARAMS = par.har"};
  FirstYearFiles files = ParseFirstYearList(list);
  EXPECT_FALSE(files.ListEmpty);
  EXPECT_EQ(files.Entries.size(), 3u);
  for (const char* name : {"FID", " fid ", "Params", "EXTRA"}) {
    EXPECT_EQ(FindFirstYearFile(files, name), FirstYearFileFor(list, name)) << name;
  }
  EXPECT_EQ(FindFirstYearFile(files, "fid"), "first.har");
  EXPECT_TRUE(ParseFirstYearList({}).ListEmpty);
}

TEST_F(ResolveTest, ParsedListResolvesLikeTheLines) {
  const FirstYearFiles parsed = ParseFirstYearList(kFirstYear);
  for (int r = kBase; r <= kPolicy; ++r) {
    for (int k = 1; k <= 10; ++k) {
      for (int f = 1; f <= 5; ++f) {
        InputFile a = ResolveInputFile(*sim, f, k, r, 3, kFirstYear, false);
        InputFile b = ResolveParsedInputFile(*sim, f, k, r, 3, parsed, false);
        EXPECT_EQ(a.FileName, b.FileName);
        EXPECT_EQ(a.Run, b.Run);
        EXPECT_EQ(a.Period, b.Period);
        EXPECT_EQ(a.LogicalFile, b.LogicalFile);
      }
    }
  }
  EXPECT_EQ(ResolveParsedInputFile(*sim, 1, 1, kBase, 1, FirstYearFiles{}, false).Note, "j zero");
}

TEST(FirstYearList, RewrittenToTheBaseFilesOfAPeriod) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 5);
  testing::UseRoleModel(*sim);
  d.Write("dat-bs1b-2002.har", "");
  d.Write("My Con.har", "");  // found without regard to case; quoted for its blank
  auto lines = FirstYearLinesForPeriod(*sim, 3, kFirstYear);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "File DAT = " + (d / "dat-bs1b-2002.har") + " ; ! the DAT",
                       "File LAG = ?? ; ! the LAG",  // dat-bs1b-2001.har is missing
                       "File CON = \"" + (d / "My Con.har") + "\" ; ! the CON",
                       "File POL = ?? ; ! the POL",
                   }));
}

}  // namespace
}  // namespace yl
