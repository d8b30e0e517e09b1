#include "accuracy/acc_summary.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/acc_log_text.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::AccCounts;
using Counts = AccCounts;

std::string DataPart(const Counts& d, const std::string& mark) {
  return testing::AccDataPart(d, mark);
}
std::string Sub(const Counts& v, std::optional<Counts> d) { return testing::AccSubBlock(v, d); }
std::string Overall(const Counts& v, std::optional<Counts> d) {
  return testing::AccOverallBlock(v, d);
}
std::string Redo(int subinterval) { return testing::AccRedoLine(subinterval); }

// Ten results each, with 10 x A of 60, 50, 40, 35 and 20.
const Counts k60{0, 0, 0, 0, 0, 0, 10};
const Counts k50{0, 0, 0, 0, 0, 10, 0};
const Counts k40{0, 0, 0, 0, 10, 0, 0};
const Counts k35{0, 0, 0, 5, 5, 0, 0};
const Counts k20{0, 0, 10, 0, 0, 0, 0};

Status Read(const std::string& text, AccSummary& s, AccReadOptions options = {1, 1}) {
  TextLogLines lines(text);
  return ReadAccSummary(lines, "/sim/x.log", options, s);
}

TEST(AccSummary, ARedoneSubintervalKeepsItsSlotAndTheOverallIsNeverTheWorst) {
  const std::string log = "Method = Gragg\n" + Sub(k60, k60) + Sub(k20, k40) + Redo(2) +
                          Sub(k50, k35) + Sub(k40, k50) + Overall(k35, k60) +
                          " The solve ended normally.\n";
  AccSummary s;
  ASSERT_TRUE(Read(log, s));
  EXPECT_EQ(s.used, 4);
  EXPECT_EQ(s.Slot(2).of[kAccVariables].counts, k50);
  EXPECT_EQ(s.Slot(2).of[kAccData].counts, k35);
  EXPECT_EQ(s.Slot(3).of[kAccVariables].counts, k40);
  EXPECT_TRUE(s.overall_found);
  EXPECT_EQ(s.overall_slot, 4);
  EXPECT_TRUE(s.overall_has_data);
  EXPECT_EQ(s.worst[kAccVariables], 3);
  EXPECT_EQ(s.worst[kAccData], 2);
}

TEST(AccSummary, TheWorstIsTheFirstOnTiesAndSlotOneWithoutAny) {
  AccSummary s;
  ASSERT_TRUE(Read(Sub(k50, k40) + Sub(k40, k40) + Sub(k40, k40), s));
  EXPECT_EQ(s.worst[kAccVariables], 2);
  EXPECT_EQ(s.worst[kAccData], 1);
  AccSummary only_overall;
  ASSERT_TRUE(Read(Overall(k20, std::nullopt), only_overall));
  EXPECT_EQ(only_overall.worst, (std::array<int, 2>{1, 1}));
}

TEST(AccSummary, TheNumberOfUpdatedFilesChoosesTheDataMarker) {
  const std::string log = Sub(k60, std::nullopt) +
                          DataPart(k50, "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE ONE") +
                          DataPart(k40, "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE TWO") +
                          DataPart(k20, "NEXT SUMMARY IS FOR ALL UPDATED DATA");
  struct Case {
    int updated_files;
    std::optional<Counts> data;
  };
  for (const Case& c : {Case{0, std::nullopt}, Case{1, k50}, Case{2, k20}, Case{3, k20}}) {
    AccSummary s;
    ASSERT_TRUE(Read(log, s, {c.updated_files, 1}));
    EXPECT_EQ(s.used, 1);
    EXPECT_EQ(s.Slot(1).present[kAccData], c.data.has_value()) << c.updated_files;
    if (c.data) {
      EXPECT_EQ(s.Slot(1).of[kAccData].counts, *c.data) << c.updated_files;
    }
  }
}

TEST(AccSummary, AnOverallBlockAtTheEndMayComeWithoutData) {
  AccSummary s;
  ASSERT_TRUE(Read(Sub(k60, k50) + Overall(k40, std::nullopt), s));
  EXPECT_EQ(s.used, 2);
  EXPECT_TRUE(s.overall_found);
  EXPECT_FALSE(s.overall_has_data);
  EXPECT_EQ(s.Slot(2).present, (std::array<bool, 2>{true, false}));
  // A subinterval block may not.
  EXPECT_EQ(Read(Sub(k60, k50) + Sub(k40, std::nullopt), s).error(),
            "Cannot find data accuracy summary[GetAccSummary2]");
}

TEST(AccSummary, OverallOnlyReadsIntoTheGivenSlotAndLeavesTheOthers) {
  AccSummary s;
  s.Slot(1).present[kAccVariables] = true;
  ASSERT_TRUE(Read(Sub(k60, k60) + Sub(k20, k40) + Overall(k35, k50), s, {1, 5, true}));
  EXPECT_EQ(s.used, 5);
  EXPECT_EQ(s.overall_slot, 5);
  EXPECT_EQ(s.Slot(5).of[kAccData].counts, k50);
  EXPECT_TRUE(s.Slot(1).present[kAccVariables]);
  EXPECT_FALSE(s.Slot(2).present[kAccVariables]);
}

TEST(AccSummary, ExpectingOneBlockRefusesNoneAndTwo) {
  const std::string more = "Expected just one subinterval, but found more[GetAccSummary2]";
  struct Case {
    std::string log;
    std::string error;  // "" for success
  };
  for (const Case& c : {Case{Sub(k60, k50), ""}, Case{Sub(k60, k50) + Sub(k60, k50), more},
                        Case{"no summary at all\n", more}}) {
    AccSummary s;
    Status r = Read(c.log, s, {1, 1, false, true});
    EXPECT_EQ(r ? "" : r.error(), c.error);
  }
}

TEST(AccSummary, HostileLogsFailWithTheirReasonOrReadWhatIsThere) {
  std::string many;
  for (int i = 0; i < kMaxAccSlots; ++i) many += Sub(k60, k50);
  struct Case {
    std::string name;
    std::string log;
    std::string error;  // "" for success
    int used = 0;
  };
  const Case cases[] = {
      {"cut in the counts",
       " Below are for levels values\n 3 results are judged accurate to 6 figures.\n",
       "Unexpected end-of-file[GetPlacesSumry][GetAccSummary2]"},
      {"a block start alone", Sub(k60, k50) + " Below are for levels values\n",
       "Unexpected end-of-file[GetPlacesSumry][GetAccSummary2]"},
      {"cut in the data",
       Sub(k60, std::nullopt) + " NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE BASEDATA\n",
       "Unexpected end-of-file[GetPlacesSumry][GetAccSummary2]"},
      {"seven figures",
       " Below are for levels values\n 3 results are judged accurate to 7 figures.\n\n",
       "Number of figures is not 0 to 6 in line \"3 results are judged accurate to 7 "
       "figures.\"[GetPlacesSumry][GetAccSummary2]"},
      {"a count too large",
       " Below are for levels values\n 4294967296 results are judged accurate to 6 figures.\n\n",
       "Count is not an integer in line \"4294967296 results are judged accurate to 6 "
       "figures.\"[GetPlacesSumry][GetAccSummary2]"},
      {"every slot", many, "", kMaxAccSlots},
      {"one slot too many", many + Sub(k60, k50),
       "Too many subintervals for accuracy summary[GetAccSummary2]"},
      {"text without a block", "Method = Gragg\nThe solve ended normally.\n", "", 0},
      {"binary", std::string("\0\xff\r\r\n\x01", 6), "", 0},
      {"a redo before any block", Redo(1) + Sub(k60, k50), "", 1},
      {"a block after the overall one", Sub(k60, k50) + Overall(k40, k40) + Sub(k60, k50),
       "prog error A[GetAccSummary2]"},
      {"the overall block replaced", Sub(k60, k50) + Overall(k40, k40) + Redo(2) + Sub(k60, k50),
       "prog error B[GetAccSummary2]"},
  };
  for (const Case& c : cases) {
    AccSummary s;
    Status r = Read(c.log, s);
    EXPECT_EQ(r ? "" : r.error(), c.error) << c.name;
    if (r) {
      EXPECT_EQ(s.used, c.used) << c.name;
    }
  }
}

class AccSummaryFileTest : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
};

TEST_F(AccSummaryFileTest, AFileReadsAsItsTextAndAMissingOneIsNamed) {
  std::string crlf;
  for (char c : Sub(k60, k50) + Overall(k40, k20)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  AccSummary from_file, from_text;
  ASSERT_TRUE(GetAccSummary(dir.Write("y.log", crlf), 1, from_file));
  ASSERT_TRUE(Read(crlf, from_text));
  EXPECT_EQ(from_file.slots, from_text.slots);
  EXPECT_EQ(from_file.used, 2);

  const std::string missing = dir / "gone.log";
  EXPECT_EQ(GetAccSummary(missing, 1, from_file).error(),
            "File \"" + missing + "\" not found[GetAccSummary2]");
}

TEST_F(AccSummaryFileTest, AReadThatFailsIsAPrematureEnd) {
  // Opening a directory for reading works; reading it does not.
  FileLogLines lines;
  ASSERT_TRUE(lines.Open(dir.path()));
  AccSummary s;
  EXPECT_EQ(ReadAccSummary(lines, dir.path(), {1, 1}, s).error(),
            "Premature end of file: " + dir.path() + "[GetAccSummary2]");
}

}  // namespace
}  // namespace yl
