#include "records/run_checks.h"

#include <gtest/gtest.h>

#include "platform/file_time.h"
#include "records/file_stamp.h"
#include "support/scratch_dir.h"

namespace yl::records {
namespace {

// Six periods, 2001..2006; the Rerun and the Policy start at period 3.
Timeline SixYears(bool two_run_mode = false) {
  Timeline t;
  t.num_years = 6;
  t.policy_start = 3;
  t.two_run_mode = two_run_mode;
  t.calendar_year = [](int k) { return 2000 + k; };
  return t;
}

// Books units at increasing times, as a big job would.
class Booker {
 public:
  explicit Booker(const Timeline& t) : t_(t) {}
  void Book(const UnitRef& u) {
    const std::string stamp = FormatCompletion(++clock_);
    const std::string year = std::to_string(t_.calendar_year(u.year));
    switch (u.kind) {
      case UnitKind::kSim:
        records.of[u.run].Set(year, "Year finished ok", stamp);
        break;
      case UnitKind::kBot:
        records.of[t_.BotRun()].Set(year, "Bot job finished ok", stamp);
        break;
      case UnitKind::kSpreadsheet:
        records.of[u.run].Set("Run", "ss job finished ok", stamp);
        break;
    }
  }
  // Every unit in an order a big job allows.
  void BookAll() {
    for (int y = 1; y <= t_.num_years; ++y) {
      Book({kBase, y, UnitKind::kSim});
      if (y < t_.policy_start) continue;
      Book({t_.BotRun(), y, UnitKind::kBot});
      if (!t_.two_run_mode) Book({kRerun, y, UnitKind::kSim});
      Book({kPolicy, y, UnitKind::kSim});
    }
    for (int r : {kBase, kRerun, kPolicy}) {
      if (t_.RunUsed(r)) Book({static_cast<Run>(r), t_.num_years + 1, UnitKind::kSpreadsheet});
    }
  }
  RunRecords records;

 private:
  Timeline t_;
  std::uint64_t clock_ = 1000;
};

TEST(FirstNotInSequence, AWholeSetBookedInOrderIsDone) {
  for (bool two_run : {false, true}) {
    const Timeline t = SixYears(two_run);
    Booker b(t);
    b.BookAll();
    const Starts s = FirstNotInSequence(b.records, t);
    for (int r = kBase; r <= kPolicy; ++r) EXPECT_EQ(s.run[r].year, 8) << r << two_run;
    EXPECT_TRUE(s.reasons.empty());
  }
}

TEST(FirstNotInSequence, RerunningBaseYearThreeAlonePutsTheYearsAfterItOutOfSequence) {
  const Timeline t = SixYears();
  Booker b(t);
  b.BookAll();
  b.Book({kBase, 3, UnitKind::kSim});
  const Starts s = FirstNotInSequence(b.records, t);
  EXPECT_EQ(s.run[kBase].year, 4);
  EXPECT_EQ(s.run[kBase].reason,
            "Sim for year 2004 of Base was completed before sim for year 2003 of Base.");
  // The closure preparation of year 3 read the Base's old year 3.
  EXPECT_EQ(s.bot.year, 3);
  EXPECT_EQ(s.bot.reason, "BOT job for year 2003 was completed before sim for year 2003 of Base.");
  EXPECT_EQ(s.run[kRerun].year, 3);
  EXPECT_EQ(s.run[kPolicy].year, 3);
}

TEST(FirstNotInSequence, AMissingRecordLeavesItsRunNotCompleted) {
  const Timeline t = SixYears();
  Booker b(t);
  b.BookAll();
  b.records.of[kPolicy] = IniFile();
  const Starts s = FirstNotInSequence(b.records, t);
  EXPECT_EQ(s.run[kBase].year, 8);
  EXPECT_EQ(s.run[kPolicy].year, 3);
  EXPECT_EQ(s.run[kPolicy].reason,
            "Simulation for year 2003 (period number 3) of the Policy has not been completed.");
}

TEST(FirstNotInSequence, TheBaseFailingFirstTakesTheLaterRunsBackWithIt) {
  const Timeline t = SixYears();
  Booker b(t);
  b.BookAll();
  b.records.of[kBase].RemoveKey("2005", "Year finished ok");
  const Starts s = FirstNotInSequence(b.records, t);
  EXPECT_EQ(s.run[kBase].year, 5);
  EXPECT_EQ(s.run[kPolicy].year, 5);
  EXPECT_EQ(s.run[kPolicy].reason, "Must rerun this year of the Base.");
}

TEST(FirstNotInSequence, TheDifferencesFollowTheSpreadsheetsTheyAreTakenAgainst) {
  const Timeline t = SixYears();
  Booker b(t);
  b.BookAll();
  b.Book({kRerun, 7, UnitKind::kSpreadsheet});
  const Starts s = FirstNotInSequence(b.records, t);
  EXPECT_EQ(s.run[kRerun].year, 8);
  EXPECT_EQ(s.run[kPolicy].year, 7);
  EXPECT_EQ(s.run[kPolicy].reason, "SS job for Policy was completed before SS job for Rerun.");
}

TEST(InSequence, EachRuleSaysWhatWasCompletedTooEarly) {
  const Timeline t = SixYears();
  struct Case {
    UnitRef late;    // booked again, after everything else
    UnitRef judged;  // the unit that is now out of sequence
    std::string reason;
  };
  const Case cases[] = {
      {{kPolicy, 4, UnitKind::kSim},
       {kPolicy, 5, UnitKind::kSim},
       "Sim for year 2005 of Policy was completed before sim for year 2004 of Policy."},
      {{kRerun, 4, UnitKind::kBot},
       {kPolicy, 4, UnitKind::kSim},
       "Sim for year 2004 of Policy was completed before BOT job for the same year."},
      {{kBase, 4, UnitKind::kSim},
       {kRerun, 4, UnitKind::kBot},
       "BOT job for year 2004 was completed before sim for year 2004 of Base."},
      {{kRerun, 3, UnitKind::kSim},
       {kRerun, 4, UnitKind::kBot},
       "   The BOT job for year 2004 was completed before the simulation for year 2003 (period "
       "number 3) of the Rerun.\r\n      [The starting data for this BOT job includes updated "
       "data from that simulation.]"},
      {{kBase, 6, UnitKind::kSim},
       {kBase, 7, UnitKind::kSpreadsheet},
       "SS job for Base was completed before sim for year 2006 of Base."},
  };
  for (const Case& c : cases) {
    Booker b(t);
    b.BookAll();
    b.Book(c.late);
    const auto reasons = InSequence(b.records, t, c.judged);
    ASSERT_FALSE(reasons.empty()) << c.reason;
    EXPECT_EQ(reasons.front(), c.reason);
  }
}

TEST(CompletedAt, SaysWhichUnitHasNotBeenCompleted) {
  const Timeline t = SixYears();
  RunRecords none;
  EXPECT_EQ(CompletedAt(none, t, {kBase, 2, UnitKind::kSim}).reason,
            "Simulation for year 2002 (period number 2) of the Base has not been completed.");
  EXPECT_EQ(CompletedAt(none, t, {kRerun, 4, UnitKind::kBot}).reason,
            "BOT job for year number 4 of the Rerun has not been completed.");
  EXPECT_EQ(CompletedAt(none, t, {kPolicy, 7, UnitKind::kSpreadsheet}).reason,
            "Spreadsheet job for Policy has not been completed.");
  RunRecords torn;
  torn.of[kBase].Set("2002", "Year finished ok", "12 x");
  EXPECT_FALSE(CompletedAt(torn, t, {kBase, 2, UnitKind::kSim}).stamp);
}

class StillOkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input = dir.Write("in.har", "input");
    output = dir.Write("out.sl4", "solution");
    unit.unit = {kBase, 2, UnitKind::kSim};
    unit.unit_text = "simulation for year 2002 (period number 2) of the Base";
    unit.rerun_advice = "    [You need to rerun the " + unit.unit_text + " to correct this.]";
    unit.settings.push_back({"2er", "Sim Directory", "/work", "working directory", true, ""});
    RecordedFile in;
    in.section = "2002";
    in.key = "Input BASEDATA";
    in.path = input;
    in.what = "The input file with logical name BASEDATA";
    unit.files.push_back(in);
    RecordedFile out = in;
    out.key = "Solution file";
    out.path = output;
    out.what = "Solution file";
    out.created = true;
    out.box = kSolutionFiles;
    out.lead = "  The Solution file from the simulation";
    unit.files.push_back(out);
    for (const RecordedSetting& s : unit.settings) records.of[kBase].Set(s.section, s.key, s.value);
    for (const RecordedFile& f : unit.files) {
      records.of[kBase].Set(f.section, f.key, FormatFileStamp(StampOf(f.path)));
    }
  }
  void Age(const std::string& path) {
    ASSERT_TRUE(SetFileTime100ns(path, *FileTime100ns(path) - 100'000'000));  // 10 s earlier
  }
  yl::testing::ScratchDir dir;
  std::string input, output;
  UnitDescription unit;
  RunRecords records;
};

TEST_F(StillOkTest, AUnitAsRecordedIsOk) {
  EXPECT_TRUE(StillOk(records, unit, kAllResults).empty());
}

TEST_F(StillOkTest, AMovedWorkingDirectoryInvalidatesTheUnit) {
  unit.settings[0].value = "/elsewhere";
  const auto reasons = StillOk(records, unit, kAllResults);
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0], "The working directory has changed since you last ran the " +
                            unit.unit_text +
                            ".\r\n    Now it is: /elsewhere\r\n    but then it was: /work\r\n" +
                            unit.rerun_advice);
}

TEST_F(StillOkTest, OutputsAreComparedOnlyWhenTheirBoxIsTicked) {
  Age(output);
  EXPECT_TRUE(StillOk(records, unit, kAllResults & ~kSolutionFiles).empty());
  const auto reasons = StillOk(records, unit, kSolutionFiles);
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].rfind("  The Solution file from the simulation\r\n   However that Solution "
                             "file: " +
                                 output + " is different since",
                             0),
            0u)
      << reasons[0];
}

TEST_F(StillOkTest, AsCreatedComparesOutputsAlone) {
  Age(input);
  unit.settings[0].value = "/elsewhere";
  EXPECT_EQ(StillOk(records, unit, kAllResults).size(), 2u);
  EXPECT_TRUE(StillOk(records, unit, kAllResults, true).empty());
}

}  // namespace
}  // namespace yl::records
