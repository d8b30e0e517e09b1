#include "settings/sim_store.h"

#include <gtest/gtest.h>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/text_file.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

const std::string kData = std::string(YL_TEST_DATA_DIR) + "/settings";

class SimStoreTest : public ::testing::Test {
 protected:
  SimStoreTest() : sim(CreateSimRecord()) { SetDefaultSimulation(*sim, dir.path()); }
  testing::ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
};

void ExpectStoredFieldsEqual(const TSimRecord& a, const TSimRecord& b) {
  EXPECT_EQ(a.NumYears, b.NumYears);
  EXPECT_EQ(a.FirstYear, b.FirstYear);
  EXPECT_EQ(a.SimNames, b.SimNames);
  EXPECT_EQ(a.NumMinFiles, b.NumMinFiles);
  EXPECT_EQ(a.MinFiles, b.MinFiles);
  EXPECT_EQ(a.NumDinFiles, b.NumDinFiles);
  EXPECT_EQ(a.DinFiles, b.DinFiles);
  EXPECT_EQ(a.CMFStartExt, b.CMFStartExt);
  EXPECT_EQ(a.RunFlags, b.RunFlags);
  for (int row = -1; row <= a.NumYears; ++row) {
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(a.CMFCells(row, c), b.CMFCells(row, c)) << row << c;
  }
}

TEST_F(SimStoreTest, DefaultSimulationRoundTrips) {
  sim->CMFCells(kCmfStartRow, 1) = "MYSTART";
  sim->CMFStartExt[1] = ".CMF";
  sim->CMFCells(kCommonRow, 3) = "COMMONCLS";
  sim->RunFlags[2] = true;
  std::string path = dir / "a.ds2";
  ASSERT_TRUE(WriteSimStore(path, *sim));
  auto back = ReadSimStore(path, dir.path());
  ASSERT_TRUE(back) << back.error();
  ExpectStoredFieldsEqual(*sim, **back);
  EXPECT_EQ((*back)->Years[4], 2001);
  EXPECT_EQ((*back)->CMFFullNames(kCmfStartRow, 1), "MYSTART.CMF");
}

TEST_F(SimStoreTest, HandWrittenStoreLoadsAndWritesBackTheSameBytes) {
  auto back = ReadSimStore(kData + "/handmade.ds2", dir.path());
  ASSERT_TRUE(back) << back.error();
  const TSimRecord& r = **back;
  EXPECT_EQ(r.NumYears, 3);
  EXPECT_EQ(r.FirstYear, 2001);
  EXPECT_EQ(r.SimNames[3], "PL1");
  ASSERT_EQ(r.NumMinFiles, 2);
  EXPECT_EQ(r.MinFiles[1], (TMinFileEntry{"FID", true, true, false, "HAR", "Basic data"}));
  EXPECT_EQ(r.MinFiles[2], (TMinFileEntry{"(Display)", false, false, true, "dis", ""}));
  ASSERT_EQ(r.NumDinFiles, 1);
  EXPECT_EQ(r.DinFiles[1].Key, "FID");
  EXPECT_EQ(r.DinFiles[1].Role, kUpdatedInput);
  EXPECT_EQ(r.DinFiles[1].Usage, (std::array<int, 4>{1, 1, 2, 3}));
  EXPECT_EQ(r.CMFCells(kCmfStartRow, 1), "CMFSTART");
  EXPECT_EQ(r.CMFStartExt[1], ".CMF");
  EXPECT_EQ(r.CMFCells(kCmfStartRow, 4), "POLSTART");
  EXPECT_EQ(r.CMFStartExt[4], ".TXT");
  EXPECT_EQ(r.CMFCells(kCommonRow, 1), "COMMON1");
  EXPECT_EQ(r.CMFCells(2, 4), "");
  EXPECT_EQ(r.CMFCells(3, 4), "?");
  EXPECT_EQ(r.CMFCells(4, 1), "?");  // rows beyond the periods
  EXPECT_TRUE(r.RunFlags[1]);
  EXPECT_FALSE(r.RunFlags[2]);
  auto lines = SimStoreLines(r);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, *ReadTextLines(kData + "/handmade.ds2"));
}

TEST_F(SimStoreTest, OlderFormTableLines) {
  for (int k = 1; k <= 4; ++k) sim->CMFCells(k, 4) = k <= 2 ? "MVEHTAR" : "";
  auto lines = TableSectionLines(*sim);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "   RUN98!   RUN98!  DEVMCA| MVEHTAR|");
  EXPECT_EQ(lines[3], "   RUN01|   RUN01|  DEVMCA|        |");
  auto back = ParseSimStore(*SimStoreLines(*sim), dir.path());
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ((*back)->CMFCells(2, 4), "MVEHTAR");
}

TEST_F(SimStoreTest, WarningLinesWhenTheOlderFormCannotHoldTheTable) {
  struct Case {
    int periods;
    std::vector<std::string> first_lines;
  };
  const Case cases[] = {
      {1, {"Update__!Software!Contact_|SOLVARA_|", "#FILES"}},
      {2,
       {"This____!Requires!Newer___|Software|", "Contact_|SOLVARA_|Contact_|SOLVARA_|", "#FILES"}},
      {5,
       {"This____!sim_____!requires|newer___|", "version_|of______|this____|software|",
        "Contact_|SOLVARA_|Contact_|SOLVARA_|", "Contact_|SOLVARA_|Contact_|SOLVARA_|",
        "Contact_|SOLVARA_|Contact_|SOLVARA_|", "#FILES"}},
  };
  for (const Case& c : cases) {
    sim->NumYears = c.periods;
    sim->CMFCells(kCommonRow, 1) = "COMMON";
    ResetRowsAboveNumYears(*sim);
    auto lines = SimStoreLines(*sim);
    ASSERT_TRUE(lines);
    auto at = std::find(lines->begin(), lines->end(), c.first_lines[0]);
    ASSERT_NE(at, lines->end()) << c.periods;
    EXPECT_EQ(std::vector<std::string>(at, at + static_cast<long>(c.first_lines.size())),
              c.first_lines);
    auto back = ParseSimStore(*lines, dir.path());
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ((*back)->CMFCells(kCommonRow, 1), "COMMON");
  }
}

TEST_F(SimStoreTest, OlderFormRefusedForCmfStartFilesOnDisk) {
  EXPECT_TRUE(OlderFormPossible(*sim));
  dir.Write("cmfstartp", "");
  EXPECT_FALSE(OlderFormPossible(*sim));
  sim->CMFCells(kCmfStartRow, 4) = "CMFSTARTP";
  EXPECT_TRUE(OlderFormPossible(*sim));
  sim->CMFCells(3, 2) = "LONGNAME9";
  EXPECT_FALSE(OlderFormPossible(*sim));
}

TEST_F(SimStoreTest, TooManyFilesCannotBeStored) {
  sim->NumMinFiles = 51;
  auto r = WriteSimStore(dir / "x.ds2", *sim);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(),
            "Sorry, there are too many files in this model. This model has 51 files\r\nbut the "
            "maximum this program can handle is 50.");
  EXPECT_FALSE(FileExists(dir / "x.ds2"));
}

TEST_F(SimStoreTest, BadStoresGiveErrorsNotCrashes) {
  const std::vector<std::string> good = *SimStoreLines(*sim);
  auto with = [&](std::size_t index, const std::string& line) {
    auto l = good;
    l[index] = line;
    return l;
  };
  // Line 4 is NumMinFiles; the table section follows the 14 MIN and 11 DIN entries.
  const std::size_t din = 1 + 3 + 1 + 14 * 4 + 1;  // the first DIN entry
  const std::size_t table = din + 11 * 11;
  ASSERT_EQ(good[table], "   RUN98!   RUN98!  DEVMCA| MVEHTAR|");
  struct Case {
    std::string name;
    std::vector<std::string> lines;
    std::string error_start;
  };
  const Case cases[] = {
      {"empty", {}, "Unexpected end of file"},
      {"truncated", std::vector<std::string>(good.begin(), good.begin() + 30),
       "Unexpected end of file"},
      {"no flags", std::vector<std::string>(good.begin(), good.end() - 1),
       "Unexpected end of file"},
      {"too many periods", with(0, "1000 1998"), "The number of periods 1000 is outside"},
      {"non-numeric", with(0, "four 1998"), "Invalid number in line 1"},
      {"too many files", with(4, "51"), "Sorry, there are too many files"},
      {"junk count", with(4, "1\x01\xff"), "Invalid number in line 5"},
      {"bad flags", with(6, "XY"), "Invalid flags in line 7"},
      {"first line", with(table, "RUN98 RUN98 DEVMCA"), "Unexpected FirstLine: RUN98"},
      {"newer first line", with(table, "Update__ Software"),
       "Unexpected FirstLine for NewNewStyle : Update__"},
      {"bad files header", with(table + 6, "5"), "Unexpected layout of #FILES section"},
      {"year overflow", with(0, "4 9997"), "Invalid first year"},
      // Roles the DIN rules refuse: a lagged input of no file, an updated output file.
      {"lag of nothing", with(din + 5, "2"), "File " + sim->DinFiles[1].Name + ": "},
      {"updated output", with(din + 3, "FT"), "File " + sim->DinFiles[1].Name + ": "},
  };
  // Read from a file, as loading Sim Details does: the DIN rules are checked there.
  for (const Case& c : cases) {
    const std::string path = dir / "case.ds2";
    ASSERT_TRUE(WriteTextLines(path, c.lines));
    auto r = ReadSimStore(path, dir.path());
    ASSERT_FALSE(r) << c.name;
    EXPECT_NE(LowerCase(r.error()).find(LowerCase(c.error_start)), std::string::npos)
        << c.name << ": " << r.error();
  }
  sim->NumYears = 2;
  sim->CMFCells(kCommonRow, 1) = "COMMON";
  auto old_warning = *SimStoreLines(*sim);
  *std::find(old_warning.begin(), old_warning.end(), "This____!Requires!Newer___|Software|") =
      "This____!Requires!Newer__|Software|";
  auto accepted = ParseSimStore(old_warning, dir.path());
  EXPECT_TRUE(accepted) << accepted.error();
  std::string junk = dir.Write("junk.ds2", std::string("\x00\x01\x02\xff\xfe\n\n\x80", 8));
  EXPECT_FALSE(ReadSimStore(junk, dir.path()));
  EXPECT_FALSE(ReadSimStore(dir / "missing.ds2", dir.path()));
}

// Cells longer than the cell width are cut; what is left reads back as itself.
TEST_F(SimStoreTest, OverlongCellsAreCutToNamesThatReadBack) {
  struct Case {
    int row, column;
    std::string written, cell, ext;
  } cases[] = {
      {kCmfStartRow, 4, "P eighty cXT", "P EIGHTY", ""},  // names are kept in capitals
      {kCmfStartRow, 1, "LONGSTARTNAME.CMFX", "LONGSTART", ".CMF"},
      {2, 3, "ABCDEFGH IJ", "ABCDEFGH", ""},
      {1, 1, "  RUN01  ", "RUN01", ""},
  };
  std::vector<std::string> lines = *SimStoreLines(*sim);
  const auto files = std::find(lines.begin(), lines.end(), "#FILES") - lines.begin();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    std::vector<std::string> edited = lines;
    edited[static_cast<std::size_t>(files + 3 + (c.row - kCmfStartRow) * 4 + c.column - 1)] =
        c.written;
    auto back = ParseSimStore(edited, dir.path());
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ((*back)->CMFCells(c.row, c.column), c.cell);
    if (c.row == kCmfStartRow) {
      EXPECT_EQ((*back)->CMFStartExt[c.column], c.ext);
    }
    auto again = ParseSimStore(*SimStoreLines(**back), dir.path());
    ASSERT_TRUE(again) << again.error();
    ExpectStoredFieldsEqual(**back, **again);
  }
}

TEST_F(SimStoreTest, StoreWithoutFilesSectionTakesCellsFromTheTable) {
  std::vector<std::string> lines = *SimStoreLines(*sim);
  auto files = std::find(lines.begin(), lines.end(), "#FILES");
  lines.erase(files, lines.end() - 1);
  auto back = ParseSimStore(lines, dir.path());
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ((*back)->CMFCells(1, 4), "MVEHTAR");
  EXPECT_EQ((*back)->CMFCells(4, 1), "RUN01");
  EXPECT_EQ((*back)->CMFCells(kCmfStartRow, 2), "N/A");
}

TEST_F(SimStoreTest, ApplyKeepsFieldsTheStoreDoesNotHold) {
  auto loaded = ParseSimStore(*SimStoreLines(*sim), dir.path());
  ASSERT_TRUE(loaded);
  (*loaded)->SimNames[1] = "NEW";
  auto current = CreateSimRecord();
  SetDefaultSimulation(*current, "/somewhere");
  current->LengthPeriods[2] = 3;
  current->AltMethodInUse = true;
  ApplySimStore(*current, **loaded);
  EXPECT_EQ(current->SimNames[1], "NEW");
  EXPECT_EQ(current->SimDir, "/somewhere");
  EXPECT_EQ(current->LengthPeriods[2], 3);
  EXPECT_TRUE(current->AltMethodInUse);
  EXPECT_EQ(current->Years[2], 2001);
}

}  // namespace
}  // namespace yl
