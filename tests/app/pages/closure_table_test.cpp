#include "app/pages/closure_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pages/closure_table_check.h"
#include "cmf/cmf_assembly_support.h"
#include "core/internal_error.h"
#include "sim/sim_table.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::AssemblyTest;
using testing::ScriptedPrompter;

class ClosureTableTest : public AssemblyTest {
 public:
  GridSelection Active(int row, int column) { return GridSelection{{}, CellRef{row, column}}; }
  ScriptedPrompter prompter;
};

TEST_F(ClosureTableTest, GridShowsTextsColoursAndStates) {
  sim.CMFCells(kCommonRow, 1) = "NOCOMMON";  // the period cells "?" still show black
  sim.CMFCells(3, 2) = "NOSHOCK";
  scratch.Write("work/REFS.CLS", "use environment file gone ;\n");
  sim.CMFCells(1, 3) = "REFS";
  RecomputeCMFNames(sim);
  auto grid = BuildGrid(sim, false, CellRef{kCmfStartRow, 4});
  ASSERT_EQ(grid.size(), 7u);
  EXPECT_EQ(grid[0][0], (GridCell{"Part", kBlackText, true}));
  EXPECT_EQ(grid[0][1], (GridCell{"Base Closure [BS1]", kNavyText, true}));
  EXPECT_EQ(grid[0][3], (GridCell{"Policy Closure [BR1]", kTealText, true}));
  EXPECT_EQ(grid[0][4], (GridCell{"Policy Shocks [PL1]", kBlueText, true}));
  EXPECT_EQ(grid[1][2].text, "BS1BYYYY.BSH");
  EXPECT_EQ(grid[2][1], (GridCell{"BSTART.CMF", kNavyText, false}));
  EXPECT_EQ(grid[2][2], (GridCell{"N/A", kBlackText, true}));
  EXPECT_EQ(grid[2][3].colour, kTealText);
  EXPECT_EQ(grid[2][4], (GridCell{"none", kWhiteText, false}));  // the active cell
  EXPECT_EQ(grid[3][1], (GridCell{"NOCOMMON.CLS", kRedText, false, CellState::kMissing}));
  EXPECT_EQ(grid[4][1], (GridCell{"common", kBlackText, false}));
  EXPECT_EQ(grid[4][3], (GridCell{"REFS.CLS", kGreenText, false, CellState::kConstituentMissing}));
  EXPECT_EQ(grid[5][1], (GridCell{"BS1B2002.CLS", kBlackText, false}));
  EXPECT_EQ(grid[6][2], (GridCell{"NOSHOCK.BSH", kRedText, false, CellState::kMissing}));
  EXPECT_EQ(grid[6][0], (GridCell{"2003", kBlackText, true}));

  auto no_rerun = BuildGrid(sim, true, CellRef{1, 1});
  EXPECT_EQ(no_rerun[0][3], (GridCell{"Policy Closure [PL1]", kBlueText, true}));
  EXPECT_EQ(no_rerun[2][3].colour, kBlackText);
  EXPECT_TRUE(no_rerun[2][3].bold);
}

TEST_F(ClosureTableTest, FollowPatternAndAsPrevious) {
  FollowPattern(sim, Active(3, 2), false);
  EXPECT_EQ(sim.CMFCells(3, 2), "BS1B2003");
  EXPECT_EQ(sim.CMFFullNames(3, 2), "BS1B2003.BSH");
  FollowPattern(sim, Active(kCommonRow, 3), false);
  EXPECT_EQ(sim.CMFCells(kCommonRow, 3), "BR1R2000");
  FollowPattern(sim, Active(kCmfStartRow, 2), false);
  EXPECT_EQ(sim.CMFCells(kCmfStartRow, 2), "N/A");
  // With several cells selected only period rows follow.
  GridSelection several{{{kCommonRow, 4}, {1, 4}, {2, 4}}, {1, 4}};
  FollowPattern(sim, several, false);
  EXPECT_EQ(sim.CMFCells(kCommonRow, 4), "COMPSH");
  EXPECT_EQ(sim.CMFCells(1, 4), "PL1P2001");
  EXPECT_EQ(sim.CMFCells(2, 4), "PL1P2002");

  AsPrevious(sim, Active(1, 1));
  EXPECT_EQ(sim.CMFCells(1, 1), "?");
  AsPrevious(sim, Active(3, 1));
  EXPECT_EQ(sim.CMFCells(3, 1), "BS1B2002");
  EXPECT_TRUE(sim.CMFExists(3, 1));
  AsPrevious(sim, GridSelection{{{1, 3}, {3, 3}}, {1, 3}});
  EXPECT_EQ(sim.CMFCells(3, 3), "POLCL");
  EXPECT_EQ(sim.CMFCells(1, 3), "?");
}

TEST_F(ClosureTableTest, TypingCommonAndNone) {
  ASSERT_TRUE(TypeIntoCell(sim, {2, 1}, "abcdefghijkl", false, prompter));
  EXPECT_EQ(sim.CMFCells(2, 1), "ABCDEFGHI");
  EXPECT_FALSE(sim.CMFExists(2, 1));
  ASSERT_TRUE(SetCellCommon(sim, {2, 1}, false, prompter));
  EXPECT_EQ(sim.CMFCells(2, 1), "?");
  ASSERT_TRUE(SetCellNone(sim, {2, 4}, false, prompter));
  EXPECT_EQ(sim.CMFCells(2, 4), "");
}

TEST_F(ClosureTableTest, SelectOneChecksTheChosenFileInOrder) {
  struct Case {
    int row, column;
    std::string path;
    std::string message;  // "" when accepted
  };
  const Case cases[] = {
      {2, 1, work + "/x.bsh", "Suffix must be .CLS"},
      {2, 1, scratch.path() + "/x.cls", "File must be in directory " + work},
      {2, 1, work + "/toolongname.CLS", "Name cannot have more than 9 characters."},
      {kCmfStartRow, 1, work + "/start.cmfs", "Suffix cannot have more than 4 characters."},
      {kCmfStartRow, 1, work + "/start.cmf", ""},
      {2, 2, work + "/new.bsh", ""},
  };
  for (const auto& c : cases) {
    prompter.messages.clear();
    const std::string before = sim.CMFCells(c.row, c.column);
    bool ok = ApplySelectedFile(sim, {c.row, c.column}, c.path, false, prompter);
    EXPECT_EQ(ok, c.message.empty()) << c.path;
    if (!c.message.empty()) {
      EXPECT_EQ(prompter.Texts(), std::vector<std::string>{c.message});
      EXPECT_EQ(sim.CMFCells(c.row, c.column), before);
    }
  }
  EXPECT_EQ(sim.CMFCells(kCmfStartRow, 1), "START");
  EXPECT_EQ(sim.CMFStartExt[1], ".CMF");
  EXPECT_EQ(sim.CMFCells(2, 2), "NEW");

  SelectOneDialog d = SelectOneRequest(sim, {kCmfStartRow, 3});
  EXPECT_EQ(d.request.title, "CMFSTART File");
  EXPECT_EQ(d.request.default_name, "*.*");
  EXPECT_EQ(d.default_ext, "");
  d = SelectOneRequest(sim, {2, 4});
  EXPECT_EQ(d.request.title, "Extra Shocks File");
  EXPECT_EQ(d.request.default_name, "*.PSH");
  EXPECT_EQ(d.request.start_dir, work);
  EXPECT_EQ(SelectOneRequest(sim, {1, 3}).request.title, "Closure File ");
  EXPECT_EQ(SelectOneRequest(sim, {1, 2}).request.title, "Base Case Shocks File");

  prompter.file_answers.push_back({work + "/chosen"});
  EXPECT_TRUE(SelectOne(sim, {3, 1}, false, prompter));
  EXPECT_EQ(sim.CMFCells(3, 1), "CHOSEN");
  EXPECT_FALSE(SelectOne(sim, {3, 1}, false, prompter));  // cancelled
}

TEST_F(ClosureTableTest, CellMenuItems) {
  const MenuItemState shown{true, true}, off{true, false}, hidden{false, false};
  CellMenuState m = BuildCellMenu(sim, Active(2, 1), false);
  EXPECT_EQ(m.select_one, shown);
  EXPECT_EQ(m.common, shown);
  EXPECT_EQ(m.none, hidden);
  EXPECT_EQ(m.edit, shown);
  EXPECT_EQ(m.check_files, shown);
  EXPECT_EQ(m.check_closure, shown);
  EXPECT_EQ(m.check_closure_save, shown);
  EXPECT_EQ(m.check_shocks, hidden);
  EXPECT_EQ(m.edit_selected, hidden);
  EXPECT_EQ(m.help, shown);

  m = BuildCellMenu(sim, Active(1, 2), false);  // "?" with an empty Common cell
  EXPECT_EQ(m.edit, off);
  EXPECT_EQ(m.check_shocks, hidden);
  m = BuildCellMenu(sim, Active(1, 1), false);  // "?" with a Common closure
  EXPECT_EQ(m.check_closure, shown);
  m = BuildCellMenu(sim, Active(1, 4), false);  // empty policy shocks
  EXPECT_EQ(m.none, shown);
  EXPECT_EQ(m.check_shocks, hidden);
  m = BuildCellMenu(sim, Active(2, 4), false);
  EXPECT_EQ(m.check_shocks, shown);
  m = BuildCellMenu(sim, Active(kCmfStartRow, 1), false);
  EXPECT_EQ(m.none, shown);
  EXPECT_EQ(m.common, hidden);
  EXPECT_EQ(m.check_closure, hidden);
  m = BuildCellMenu(sim, Active(kCommonRow, 3), false);
  EXPECT_EQ(m.none, shown);
  EXPECT_EQ(m.common, hidden);

  GridSelection several{{{1, 1}, {2, 1}}, {2, 1}};
  m = BuildCellMenu(sim, several, true);
  EXPECT_EQ(m.select_one, off);
  EXPECT_EQ(m.edit, off);
  EXPECT_EQ(m.check_files, off);
  EXPECT_EQ(m.common, hidden);
  EXPECT_EQ(m.none, hidden);
  EXPECT_EQ(m.check_closure, hidden);
  EXPECT_EQ(m.edit_selected, shown);
  EXPECT_EQ(BuildCellMenu(sim, several, false).edit_selected, off);
  EXPECT_TRUE(IsQuillpadEditor("/opt/x/QuillPad.exe"));
  EXPECT_FALSE(IsQuillpadEditor("/usr/bin/scriblet"));
}

TEST_F(ClosureTableTest, RightClickChoosesTheMenu) {
  EXPECT_EQ(PopupForClick(sim, 2, 2), GridPopup::kNone);  // "N/A"
  EXPECT_EQ(PopupForClick(sim, 2, 1), GridPopup::kCellMenu);
  EXPECT_EQ(PopupForClick(sim, 1, 1), GridPopup::kNone);
  EXPECT_EQ(PopupForClick(sim, 4, 0), GridPopup::kSolMethodMenu);
  EXPECT_EQ(PopupForClick(sim, 3, 0), GridPopup::kNone);
  try {
    PopupForClick(sim, 7, 0);
    ADD_FAILURE() << "no internal error";
  } catch (const InternalError& e) {
    EXPECT_STREQ(e.what(), "AlternativeSLMethodPopupYearNo is out of range");
  }
}

TEST_F(ClosureTableTest, EditFilesInSelectedCellsWritesTheListFile) {
  auto none = EditFilesInSelectedCells(sim, {}, temp, prompter);
  ASSERT_FALSE(none);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Sorry, nothing is selected."});

  sim.CMFCells(3, 3) = "POLCL";
  RecomputeCMFNames(sim);
  auto list = EditFilesInSelectedCells(sim, {{3, 3}, {2, 3}, {1, 1}, {kCmfStartRow, 1}, {2, 1}},
                                       temp, prompter);
  ASSERT_TRUE(list) << list.error();
  EXPECT_EQ(list->list_file, temp + "/quillpadfiles.lis");
  EXPECT_EQ(list->argument, "@" + temp + "/quillpadfiles.lis");
  EXPECT_EQ(ReadOut(list->list_file),
            work + "/BSTART.CMF\n" + work + "/bs1b2002.cls\n" + work + "/POLCL.CLS\n");
}

TEST_F(ClosureTableTest, OptionsAndTheirMessages) {
  bool use = true;
  ChooseUsePatterns(use, false, prompter);
  EXPECT_FALSE(use);
  EXPECT_EQ(prompter.Last().text,
            "This applies when you change one of the 3 Sim Names shown on the Sim Overview "
            "page.\r\nIf any file name on the Closure/Shocks page matches the pattern based on "
            "the old Sim Name,\r\nthat file name WILL NOT be changed to match the pattern based "
            "on the new Sim Name.");
  EXPECT_NE(UsePatternsMessage(true).find("file name WILL be changed"), std::string::npos);

  bool no_rerun = false;
  ChooseNoRerun(sim, no_rerun, true, prompter);
  EXPECT_TRUE(no_rerun);
  EXPECT_EQ(sim.CMFCells(kCmfStartRow, 3), "N/A");
  EXPECT_EQ(prompter.Last().text, "Will not Rerun the Base with the Policy closures");
  ChooseNoRerun(sim, no_rerun, false, prompter);
  EXPECT_EQ(sim.CMFCells(kCmfStartRow, 3), "");
  EXPECT_EQ(prompter.Last().text, "Will Rerun the Base with the Policy closures");

  bool sol = false;
  prompter.messages.clear();
  ToggleSolFileShocks(sol, prompter);
  EXPECT_TRUE(sol);
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{"Note that \"Using SOL Files for Shocks\" will not work\r\n "
                                     "unless your EXE program for solving the model is from\r\n "
                                     "Release 7.0 (or later) of Solvara."});
  ToggleSolFileShocks(sol, prompter);
  EXPECT_FALSE(sol);
  EXPECT_EQ(prompter.messages.size(), 1u);
}

class TableCheckTest : public ClosureTableTest {
 public:
  TableCheckRequest Request(int run, int first, int last, int last_column = 4) {
    TableCheckRequest r;
    r.Runs[static_cast<std::size_t>(run)] = {true, first, last, 1, last_column};
    return r;
  }
};

TEST_F(TableCheckTest, PassesOnAGoodTable) {
  EXPECT_TRUE(CheckTableBeforeRuns(sim, Request(kBase, 1, 99), prompter));
  EXPECT_TRUE(CheckTableBeforeRuns(sim, Request(kPolicy, 2, 3), prompter));
  EXPECT_TRUE(prompter.messages.empty()) << prompter.Texts().front();
}

TEST_F(TableCheckTest, MissingAndBadFilesAreReported) {
  scratch.Write("work/REFS.CLS", "use environment file gone ;\n");
  scratch.Write("work/SAVE.CLS", "save environment file x ;\n");
  scratch.Write("work/SHK.CLS", "shock x = 1 ;\n");
  struct Case {
    int row, column;
    const char* cell;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {3, 2, "NOSHOCK", {"CMF file for year number 3 column 2 does not exist."}},
      {2,
       1,
       "REFS",
       {"The Command file\r\n   " + work +
            "/REFS.CLS\r\n includes a \"use\" statement which "
            "refers to file\r\n   " +
            work + "/gone.en4\r\nThis latter file does not exist.",
        "Above refer to files referred to in file\r\n" + work + "/REFS.CLS"}},
      {2,
       1,
       "SHK",
       {"Key word \"shock\" must not be in closure file\r\n" + work +
        "/SHK.CLS\r\nPlease change "
        "this file."}},
      {kCommonRow,
       1,
       "SAVE",
       {"Key word \"save\" must not be in closure file\r\n" + work +
        "/SAVE.CLS\r\nPlease change "
        "this file."}},
      {2, 1, "SAVE", {}},  // a period-specific closure may save
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    const TSimRecord saved = sim;
    sim.CMFCells(c.row, c.column) = c.cell;
    prompter.messages.clear();
    EXPECT_EQ(CheckTableBeforeRuns(sim, Request(kBase, 1, 3), prompter), c.messages.empty());
    EXPECT_EQ(prompter.Texts(), c.messages);
    TableCheckRequest quiet = Request(kBase, 1, 3);
    quiet.Quiet = true;
    prompter.messages.clear();
    EXPECT_EQ(CheckTableBeforeRuns(sim, quiet, prompter), c.messages.empty());
    EXPECT_TRUE(prompter.messages.empty());
    sim = saved;
  }
}

TEST_F(TableCheckTest, AControlZIsShownEvenWhenQuiet) {
  scratch.Write("work/CTRLZ.CLS", "exo x ;\n\x1a;\n");
  sim.CMFCells(2, 1) = "CTRLZ";
  for (bool quiet : {false, true}) {
    SCOPED_TRACE(quiet);
    TableCheckRequest r = Request(kBase, 1, 3);
    r.Quiet = quiet;
    prompter.messages.clear();
    EXPECT_FALSE(CheckTableBeforeRuns(sim, r, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.Last().text.starts_with("ControlZ found in text in closure file \r\n" +
                                                 work +
                                                 "/CTRLZ.CLS\r\nin position 1 in line "
                                                 "number 2\r\n"))
        << prompter.Last().text;
    EXPECT_EQ(prompter.Last().kind, MessageKind::kError);
    EXPECT_EQ(prompter.Last().buttons, kOk);
  }
}

TEST_F(TableCheckTest, EveryRunIsCheckedAndNoPolicyShocksFailsAtOnce) {
  sim.CMFCells(1, 1) = "NOBASE";
  sim.CMFCells(3, 3) = "NOPOL";
  TableCheckRequest r;
  r.Runs[1] = {true, 1, 3, 1, 2};
  r.Runs[3] = {true, 2, 3, 1, 4};
  EXPECT_FALSE(CheckTableBeforeRuns(sim, r, prompter));
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{"CMF file for year number 1 column 1 does not exist.",
                                      "CMF file for year number 3 column 3 does not exist."}));
  for (int k = 1; k <= 3; ++k) sim.CMFCells(k, 4) = "";
  sim.CMFCells(3, 3) = "POLCL";
  prompter.messages.clear();
  EXPECT_FALSE(CheckTableBeforeRuns(sim, Request(kPolicy, 1, 3), prompter));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Are no policy shocks, so nothing to do."});
}

TEST_F(TableCheckTest, CheckFilesNamedHere) {
  EXPECT_TRUE(CheckFilesNamedHere(sim, {2, 1}, false, prompter));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"All files named here exist."});
  scratch.Write("work/RSTART.CMF", "take lu file missing ;\n");
  prompter.messages.clear();
  EXPECT_FALSE(CheckFilesNamedHere(sim, {2, 3}, false, prompter));
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{"All files named here exist.",
                                      "However at least one constituent of the CMFStart file\r\n" +
                                          work + "/RSTART.CMF\r\n does not exist."}));
  prompter.messages.clear();
  EXPECT_TRUE(CheckFilesNamedHere(sim, {2, 3}, true, prompter));  // the Rerun is off
}

}  // namespace
}  // namespace yl
