#include "reports/when_run_report.h"

#include <gtest/gtest.h>

#include <map>

#include "sim/sim_defaults.h"
#include "sim/sim_table.h"

namespace yl::reports {
namespace {

using records::UnitKind;
using records::UnitRef;

// Six one-year periods, 2001..2006; the Rerun and the Policy start at period 3.
class WhenRunTest : public ::testing::Test {
 public:  // the cases change the records through the fixture
  WhenRunTest() : sim(CreateSimRecord()) {
    SetDefaultSimulation(*sim, "/work");
    sim->NumYears = 6;
    sim->FirstYear = 2001;
    sim->LengthPeriods.Fill(1);
    RecomputeYears(*sim);
    TwoRunMode(false);
  }
  void TwoRunMode(bool on) {
    t.num_years = 6;
    t.policy_start = 3;
    t.two_run_mode = on;
    t.calendar_year = [](int k) { return 2000 + k; };
  }
  // Books a unit now, as a big job would.
  void Book(const UnitRef& u) {
    const std::string stamp = records::FormatCompletion(++clock);
    const std::string year = std::to_string(t.calendar_year(u.year));
    switch (u.kind) {
      case UnitKind::kSim:
        records.of[u.run].Set(year, "Year finished ok", stamp);
        break;
      case UnitKind::kBot:
        records.of[t.BotRun()].Set(year, "Bot job finished ok", stamp);
        break;
      case UnitKind::kSpreadsheet:
        records.of[u.run].Set("Run", "ss job finished ok", stamp);
        break;
    }
  }
  // Every unit in an order a big job allows.
  void BookAll() {
    for (int y = 1; y <= t.num_years; ++y) {
      Book({kBase, y, UnitKind::kSim});
      if (y < t.policy_start) continue;
      Book({t.BotRun(), y, UnitKind::kBot});
      // The Policy's year need not wait for the Rerun's.
      Book({kPolicy, y, UnitKind::kSim});
      if (!t.two_run_mode) Book({kRerun, y, UnitKind::kSim});
    }
    for (int r : {kBase, kRerun, kPolicy}) {
      if (t.RunUsed(r)) Book({static_cast<yl::Run>(r), t.num_years + 1, UnitKind::kSpreadsheet});
    }
  }
  std::vector<std::string> Lines() {
    return WhenRunReportLines(records, t, *sim,
                              [](std::uint64_t s) { return "T" + std::to_string(s); });
  }
  // The "%% Needs to be rerun" lines, under the line they follow.
  std::map<std::string, std::vector<std::string>> Flags() {
    std::map<std::string, std::vector<std::string>> flags;
    std::string above;
    for (const std::string& line : Lines()) {
      if (line.starts_with("   %%")) {
        flags[above].push_back(line);
      } else {
        above = line;
      }
    }
    return flags;
  }

  std::unique_ptr<TSimRecord> sim;
  records::Timeline t;
  records::RunRecords records;
  std::uint64_t clock = 100;
};

TEST_F(WhenRunTest, NothingRun) {
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{
                "A: Base Case", "None have been run.", "Base spreadsheet job: Not run", "",
                "B: Base Rerun", "None have been run.", "Rerun spreadsheet job: Not run", "",
                "C: Policy Sims", "None have been run.", "Policy spreadsheet job: Not run", "",
                "BOT jobs:", "None have been run."}));
}

TEST_F(WhenRunTest, EveryUnitWithItsSimulationNameAndCompletion) {
  Book({kBase, 1, UnitKind::kSim});
  Book({kBase, 2, UnitKind::kSim});
  Book({kBase, 3, UnitKind::kSim});
  Book({kRerun, 3, UnitKind::kBot});
  Book({kPolicy, 3, UnitKind::kSim});
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "A: Base Case",
                         " 2001 (BS1B-2001 number 1): Completed on T101",
                         " 2002 (BS1B-2002 number 2): Completed on T102",
                         " 2003 (BS1B-2003 number 3): Completed on T103",
                         " 2004 (BS1B-2004 number 4): Not run",
                         " 2005 (BS1B-2005 number 5): Not run",
                         " 2006 (BS1B-2006 number 6): Not run",
                         "Base spreadsheet job: Not run",
                         "",
                         "B: Base Rerun",
                         "None have been run.",
                         "Rerun spreadsheet job: Not run",
                         "",
                         "C: Policy Sims",
                         " 2003 (BS1B-BR1R-PL1P-2003 number 3): Completed on T105",
                         " 2004 (BS1B-BR1R-PL1P-2004 number 4): Not run",
                         " 2005 (BS1B-BR1R-PL1P-2005 number 5): Not run",
                         " 2006 (BS1B-BR1R-PL1P-2006 number 6): Not run",
                         "Policy spreadsheet job: Not run",
                         "",
                         "BOT jobs:",
                         " 2003 (BOT job number 3): Completed on T104",
                         " 2004 (BOT job number 4): Not run",
                         " 2005 (BOT job number 5): Not run",
                         " 2006 (BOT job number 6): Not run",
                     }));
}

TEST_F(WhenRunTest, NeedsToBeRerun) {
  struct Case {
    const char* what;
    bool two_run_mode;
    std::function<void(WhenRunTest&)> after_all;
    std::map<std::string, std::vector<std::string>> flags;
  };
  const std::string before = "   %% Needs to be rerun - was completed BEFORE ";
  const std::string since = "   %% Needs to be rerun since ";
  const std::vector<Case> cases = {
      {"all in order", false, [](WhenRunTest&) {}, {}},
      {"all in order, two runs", true, [](WhenRunTest&) {}, {}},
      {"Base year 3 run again alone",
       false,
       [](WhenRunTest& w) {
         w.Book({kBase, 3, UnitKind::kSim});
       },
       {{" 2004 (BS1B-2004 number 4): Completed on T107", {before + "previous year of the Base"}},
        {"Base spreadsheet job: Completed on T119", {before + "last simulation of the Base"}},
        {" 2003 (BS1B-BR1R-2003 number 3): Completed on T106", {before + "same year of the Base"}},
        {" 2003 (BS1B-BR1R-PL1P-2003 number 3): Completed on T105",
         {before + "same year of the Base"}},
        {" 2003 (BOT job number 3): Completed on T104", {before + "same year of the Base"}}}},
      {"a BOT job run again alone",
       false,
       [](WhenRunTest& w) {
         w.Book({kRerun, 4, UnitKind::kBot});
       },
       {{" 2004 (BS1B-BR1R-2004 number 4): Completed on T110", {before + "BOT job of same year"}},
        {" 2004 (BS1B-BR1R-PL1P-2004 number 4): Completed on T109",
         {before + "BOT job of same year"}},
        {" 2005 (BOT job number 5): Completed on T112", {before + "Bot Job for previous year"}}}},
      {"records lost",
       false,
       [](WhenRunTest& w) {
         w.records.of[kRerun].Set("2005", "Bot job finished ok", "");
         w.records.of[kBase].Set("2006", "Year finished ok", "");
       },
       {{" 2005 (BS1B-BR1R-2005 number 5): Completed on T114",
         {since + "BOT job of same year has NOT been completed."}},
        {" 2005 (BS1B-BR1R-PL1P-2005 number 5): Completed on T113",
         {since + "BOT job of same year has NOT been completed."}},
        {" 2006 (BS1B-BR1R-2006 number 6): Completed on T118",
         {since + "same year of the Base has NOT been completed."}},
        {" 2006 (BS1B-BR1R-PL1P-2006 number 6): Completed on T117",
         {since + "same year of the Base has NOT been completed."}},
        {" 2006 (BOT job number 6): Completed on T116",
         {since + "same year of the Base has NOT been completed."}}}},
      {"the record of a year the next BOT job starts from lost",
       false,
       [](WhenRunTest& w) { w.records.of[kRerun].Set("2004", "Year finished ok", ""); },
       {{" 2005 (BOT job number 5): Completed on T112",
         {since + "previous year of the Rerun has NOT been completed."}}}},
      {"the Rerun's spreadsheets made again",
       false,
       [](WhenRunTest& w) {
         w.Book({kRerun, 7, UnitKind::kSpreadsheet});
       },
       {{"Policy spreadsheet job: Completed on T121", {before + "spreadsheet job of the Rerun"}}}},
      {"two runs: the Policy's differences follow the Base's spreadsheets",
       true,
       [](WhenRunTest& w) { w.records.of[kBase].Set("Run", "ss job finished ok", ""); },
       {{"Policy spreadsheet job: Completed on T116",
         {since + "spreadsheet job of the Base has NOT been completed."}}}},
  };
  for (const Case& c : cases) {
    records = {};
    clock = 100;
    TwoRunMode(c.two_run_mode);
    BookAll();
    c.after_all(*this);
    EXPECT_EQ(Flags(), c.flags) << c.what;
  }
}

TEST_F(WhenRunTest, TwoRunModeHasNoRerunSection) {
  TwoRunMode(true);
  BookAll();
  const std::vector<std::string> lines = Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "B: Base Rerun"), 0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "C: Policy Sims"), 1);
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), " 2003 (BS1B-PL1P-2003 number 3): Completed on T105"),
      lines.end());
}

}  // namespace
}  // namespace yl::reports
