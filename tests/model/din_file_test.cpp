#include "model/din_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/file_roles.h"
#include "model_fixture.h"

namespace yl {
namespace {

using testing::ScratchDir;

// The demo model's MIN entries: BASEDATA, PARAMS, EXTRA, XDATA, SUMMARY and three specials.
TSimRecord DemoRecord() {
  TSimRecord rec;
  struct E {
    const char* name;
    bool in;
    bool upd;
    const char* type;
  };
  const E entries[] = {{"BASEDATA", true, true, "har"},    {"PARAMS", true, false, "har"},
                       {"EXTRA", true, true, "har"},       {"XDATA", true, false, "Har"},
                       {"SUMMARY", false, false, "txt"},   {"(display)", false, false, "dis"},
                       {"(solution)", false, true, "sl4"}, {"(equations)", false, true, "eq4"}};
  for (const E& e : entries) {
    TMinFileEntry m;
    m.Name = e.name;
    m.IsInput = e.in;
    m.IsUpdated = e.upd;
    m.Special = e.name[0] == '(';
    m.Type = e.type;
    m.Description = std::string("About ") + e.name;
    rec.MinFiles[++rec.NumMinFiles] = m;
  }
  SetDinDefaults(rec);
  return rec;
}

TEST(DinFile, DefaultsFromTheMin) {
  TSimRecord rec = DemoRecord();
  ASSERT_EQ(rec.NumDinFiles, 5);
  const TDinFileEntry& x = rec.DinFiles[4];
  EXPECT_EQ(x.Name, "XDATA");
  EXPECT_EQ(x.Type, "HAR");
  EXPECT_EQ(x.Key, "XDA");
  EXPECT_EQ(x.Role, kConstantInput);
  EXPECT_EQ(x.Usage, (std::array<int, 4>{4, 1, 2, 3}));
  EXPECT_EQ(x.Description, "About XDATA");
  EXPECT_EQ(rec.DinFiles[1].Role, kUpdatedInput);
  EXPECT_EQ(rec.DinFiles[5].Role, kOutputOnly);
  EXPECT_EQ(rec.DinFiles[5].Type, "TXT");
  EXPECT_TRUE(CheckDinConsistency(rec));
}

TEST(DinFile, Words) {
  EXPECT_EQ(DinWords("file X key=\"a b\" (y);z\t\"open"),
            (std::vector<std::string>{"file", "X", "key", "=", "\"a b\"", "(", "y", ")", ";", "z",
                                      "\"open"}));
}

TEST(DinFile, LineSyntax) {
  struct Case {
    const char* line;
    const char* error;  // nullptr: accepted
  };
  const Case cases[] = {
      {"file EXTRA key ex ;", nullptr},
      {"! a comment ; with words", nullptr},
      {"", nullptr},
      {"   ;  ", nullptr},
      {"FILE extra KEY xyz ROLE Constant-Input ; the rest is ignored", nullptr},
      {"file EXTRA key EXT", "A line containing \"EXT\" does not end with \";\""},
      {"file", "A line containing \"file\" does not end with \";\""},
      {"file EXTRA key", "A line containing \"key\" does not end with \";\""},
      {"file EXTRA usage EXTRA 1 2 ;", "';' is not a valid integer value"},
      {"file EXTRA usage EXTRA 1 x 3 ;", "'x' is not a valid integer value"},
      {"file EXTRA usage EXTRA 1 2",
       "Expect logical file then 3 integers after \"usage\". Only found IntToStr(k)"},
      {"file EXTRA usage EXTRA 1 2 3", "A line containing \"3\" does not end with \";\""},
      {"files EXTRA ;", "Expected \"file\" at start of line but found \"files\""},
      {"file NOPE ;", "Unknown logical file \"NOPE\""},
      {"file ;", "Unknown logical file \";\""},
      {"file EXTRA key ;", "Expect logical file name after \"key\""},
      {"file EXTRA role updated-input ;", "Unexpected word \"updated-input\""},
      {"file EXTRA lagof NOPE ;", "Unknown logical file \"NOPE\" (after lagof)"},
      {"file EXTRA usage NOPE 1 2 3 ;", "Unknown logical file \"NOPE\" (after usage)"},
      {"file EXTRA colour red ;", "Unexpected word \"colour\""},
  };
  for (const Case& c : cases) {
    TSimRecord rec = DemoRecord();
    Status s = ParseDinLine(c.line, rec);
    if (c.error) {
      ASSERT_FALSE(s) << c.line;
      EXPECT_EQ(s.error(), c.error) << c.line;
    } else {
      EXPECT_TRUE(s) << c.line << ": " << s.error();
    }
  }
}

TEST(DinFile, ClausesSetTheFile) {
  TSimRecord rec = DemoRecord();
  ASSERT_TRUE(ParseDinLine(
      "file xdata key XDZ role lagged-input lagof EXTRA usage extra 1 2 2 key XDB ;", rec));
  const TDinFileEntry& x = rec.DinFiles[4];
  EXPECT_EQ(x.Key, "XDB");  // clauses repeat; the last one counts
  EXPECT_EQ(x.Role, kLaggedInput);
  EXPECT_EQ(x.LagOf, 3);
  EXPECT_EQ(x.Usage, (std::array<int, 4>{3, 1, 2, 2}));
  ASSERT_TRUE(ParseDinLine("file EXTRA key ex ;", rec));
  EXPECT_EQ(rec.DinFiles[3].Key, "ex");
  ASSERT_TRUE(ParseDinLine("file PARAMS key \"quoted\" ;", rec));
  EXPECT_EQ(rec.DinFiles[2].Key, "\"qu");
}

TEST(DinFile, ConsistencyRules) {
  struct Case {
    std::function<void(TSimRecord&)> edit;
    const char* message;  // nullptr: passes
  };
  const Case cases[] = {
      {[](TSimRecord&) {}, nullptr},
      {[](TSimRecord& r) {
         r.DinFiles[5].IsUpdated = true;
         r.DinFiles[5].Role = 2;
       },
       "File SUMMARY: output file cannot be updated"},
      {[](TSimRecord& r) { r.DinFiles[5].Role = 2; },
       "File SUMMARY: output file cannot be a lagged input"},
      {[](TSimRecord& r) { r.DinFiles[2].Role = 0; },
       "File PARAMS: input file cannot be OutPutOnly"},
      {[](TSimRecord& r) { r.DinFiles[3].Role = kConstantInput; },
       "File EXTRA: role must be updated input"},
      {[](TSimRecord& r) { r.DinFiles[2].Role = kUpdatedInput; },
       "File PARAMS: role cannot be updated input"},
      {[](TSimRecord& r) { r.DinFiles[4].Role = kLaggedInput; },
       "File XDATA: lagged input must be lag of some file"},
      {[](TSimRecord& r) {
         r.DinFiles[4].Role = kLaggedInput;
         r.DinFiles[4].LagOf = 4;
       },
       "File XDATA: lagged input cannot be lag of itself"},
      {[](TSimRecord& r) { r.DinFiles[2].Key = "N/A"; }, "File PARAMS: needs a proper key"},
      {[](TSimRecord& r) { r.DinFiles[3].Key = "ex"; },
       "File EXTRA: needs key at least 3 chars long"},
      {[](TSimRecord& r) { r.DinFiles[2].Key = "P-A"; },
       "File PARAMS: key contains illegal characters"},
      // A lagged input's key is never used for names: any characters will do.
      {[](TSimRecord& r) {
         r.DinFiles[4].Role = kLaggedInput;
         r.DinFiles[4].LagOf = 3;
         r.DinFiles[4].Key = "X-A";
       },
       nullptr},
      {[](TSimRecord& r) {
         r.DinFiles[4].Role = kLaggedInput;
         r.DinFiles[4].LagOf = 3;
         r.DinFiles[4].Usage[0] = 1;
       },
       "File XDATA: InputUsage[0]/LagFile data inconsistent"},
      {[](TSimRecord& r) { r.DinFiles[2].Usage[2] = 3; },
       "File PARAMS: InputUsage[1,2] not as expected"},
      {[](TSimRecord& r) { r.DinFiles[2].Usage[3] = 1; },
       "File PARAMS: InputUsage[3] not as expected"},
      {[](TSimRecord& r) { r.DinFiles[2].Usage[3] = 2; }, nullptr},
      {[](TSimRecord& r) { r.DinFiles[2].Key = "bas"; },
       "Files BASEDATA and PARAMS have the same key"},
      {[](TSimRecord& r) {
         for (int i : {2, 4}) {
           r.DinFiles[i].Role = kLaggedInput;
           r.DinFiles[i].LagOf = i == 2 ? 1 : 3;
           r.DinFiles[i].Usage[0] = r.DinFiles[i].LagOf;
           r.DinFiles[i].Key = "N/A";
         }
       },
       "Files PARAMS and XDATA have the same key"},
  };
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    TSimRecord rec = DemoRecord();
    cases[k].edit(rec);
    Status s = CheckDinConsistency(rec);
    if (cases[k].message) {
      ASSERT_FALSE(s) << k;
      EXPECT_EQ(s.error(), cases[k].message) << k;
    } else {
      EXPECT_TRUE(s) << k << ": " << s.error();
    }
  }
}

// A record from a sim store: its DIN entries must be its MIN's, and pass the rules.
TEST(DinFile, StoredEntriesAgreeWithTheMin) {
  struct Case {
    std::function<void(TSimRecord&)> edit;
    const char* message;
  } cases[] = {
      {[](TSimRecord&) {}, nullptr},
      // An output made an updated input in both its flags and its role.
      {[](TSimRecord& r) {
         r.DinFiles[5].IsInput = r.DinFiles[5].IsUpdated = true;
         r.DinFiles[5].Role = kUpdatedInput;
       },
       "File SUMMARY: input and update flags differ from the MIN entry"},
      // The same through the role alone is a DIN rule's business.
      {[](TSimRecord& r) { r.DinFiles[5].Role = kUpdatedInput; },
       "File SUMMARY: role cannot be updated input"},
      {[](TSimRecord& r) {
         r.DinFiles[1].Role = kLaggedInput;
         r.DinFiles[1].LagOf = 0;
       },
       "File BASEDATA: role must be updated input"},
      {[](TSimRecord& r) { r.DinFiles[2].Name = "params "; }, nullptr},
      {[](TSimRecord& r) { std::swap(r.DinFiles[2], r.DinFiles[3]); },
       "File EXTRA: expected logical file PARAMS in its place"},
      {[](TSimRecord& r) { r.NumDinFiles = 4; }, "The MIN entries name 5 ordinary files, not 4"},
  };
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    TSimRecord rec = DemoRecord();
    cases[k].edit(rec);
    Status s = CheckDinAgainstMin(rec);
    if (cases[k].message) {
      ASSERT_FALSE(s) << k;
      EXPECT_EQ(s.error(), cases[k].message) << k;
    } else {
      EXPECT_TRUE(s) << k << ": " << s.error();
    }
  }
}

class ReadDinTest : public ::testing::Test {
 protected:
  TSimRecord rec = DemoRecord();
  ScratchDir d;
  Notices p;
};

TEST_F(ReadDinTest, ReadsTheFixture) {
  std::string din = std::string(YL_TEST_DATA_DIR) + "/model/demo/demo.din";
  rec.DinFiles[1].Key = "OLD";  // rebuilt from the defaults first
  EXPECT_TRUE(ReadDin(din, rec, p));
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(rec.DinFiles[1].Key, "BAS");
  EXPECT_EQ(rec.DinFiles[4].Role, kLaggedInput);
  EXPECT_EQ(rec.DinFiles[4].LagOf, 3);
  EXPECT_EQ(rec.DinFiles[4].Usage, (std::array<int, 4>{3, 1, 2, 2}));
  auto rows = FileRolesRows(rec);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[3], (FileRolesRow{"XDATA", "XDA", "HAR", "In", "No", "Lagged input", "EXTRA"}));
  EXPECT_EQ(rows[0],
            (FileRolesRow{"BASEDATA", "BAS", "HAR", "In", "Yes", "Updated input", "Not lagged"}));
  EXPECT_EQ(rows[1],
            (FileRolesRow{"PARAMS", "PAR", "HAR", "In", "No", "Constant input", "Not lagged"}));
  EXPECT_EQ(rows[4],
            (FileRolesRow{"SUMMARY", "SUM", "TXT", "Out", "N/A", "Output only", "Not lagged"}));
}

TEST_F(ReadDinTest, MissingOrCommentOnlyDinKeepsTheDefaults) {
  TSimRecord defaults = DemoRecord();
  rec.DinFiles[1].Key = "OLD";
  EXPECT_TRUE(ReadDin(d / "none.din", rec, p));
  EXPECT_EQ(rec.DinFiles[1], defaults.DinFiles[1]);
  EXPECT_TRUE(ReadDin(d.Write("c.din", "! only\n   ! comments\n\n"), rec, p));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(rec.DinFiles[i], defaults.DinFiles[i]);
  EXPECT_TRUE(p.empty());
}

TEST_F(ReadDinTest, SyntaxErrorStopsAndKeepsWhatWasRead) {
  std::string din =
      d.Write("e.din", "file PARAMS key PRM ;\nfile EXTRA key EXT\nfile XDATA key XXX ;\n");
  EXPECT_FALSE(ReadDin(din, rec, p, 77));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().text, "A line containing \"EXT\" does not end with \";\" in DIN file\r\n" +
                               din + "\r\nUnable to process this DIN file.");
  EXPECT_EQ(p.back().kind, MessageKind::kError);
  EXPECT_EQ(p.back().buttons, kOk | kHelp);
  EXPECT_EQ(p.back().help_topic, 77);
  EXPECT_EQ(rec.DinFiles[2].Key, "PRM");
  EXPECT_EQ(rec.DinFiles[4].Key, "XDA");
}

TEST_F(ReadDinTest, ConsistencyFailureIsShown) {
  std::string din = d.Write("k.din", "file EXTRA key ex ;\n");
  EXPECT_FALSE(ReadDin(din, rec, p));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().text,
            "Problem with Model Information on DIN file\r\n" + din +
                "\r\nFile EXTRA: needs key at least 3 chars long\r\nUse menu item \"Edit Dynamic "
                "Info File\" under the File menu to fix the problem.");
  EXPECT_EQ(p.back().help_topic, kHelpDinProblem);
  EXPECT_EQ(rec.DinFiles[3].Key, "ex");  // the record keeps what was read
}

TEST_F(ReadDinTest, BinaryJunkIsASyntaxError) {
  std::string din = d.Write("j.din", std::string("\x00\x01\xfe\xff;junk\n", 10));
  EXPECT_FALSE(ReadDin(din, rec, p));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_NE(p.back().text.find("Unable to process this DIN file."), std::string::npos);
}

}  // namespace
}  // namespace yl
