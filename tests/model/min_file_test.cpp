#include "model/min_file.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "model_fixture.h"

namespace yl {
namespace {

using testing::JoinLines;
using testing::MinEntry;
using testing::ScratchDir;

const std::string kDemoMin = std::string(YL_TEST_DATA_DIR) + "/model/demo/demo.min";

TEST(MinFile, EntryLineColumns) {
  struct Case {
    std::string line;
    const char* name;
    const char* usage;
    bool updated;
    const char* type;
    const char* fixed;
  };
  const Case cases[] = {
      {MinEntry("BASEDATA", "in ", 'y', "HAR"), "BASEDATA", "in", true, "har", ""},
      {MinEntry("SUMMARY", "out", 'n', "txt"), "SUMMARY", "out", false, "txt", ""},
      {MinEntry("FIXED", "in", 'Y', "har", "basedata.har"), "FIXED", "in", true, "har",
       "basedata.har"},
      {"SHORT", "SHORT", "", false, "", ""},  // a short line leaves the rest empty
      {"", "", "", false, "", ""},
      {"A_NAME_LONGER_THAN_TWENTY_CHARS_AND_MORE", "A_NAME_LONGER_THAN_T", "NTY", false, "and",
       "ORE"},
  };
  for (const Case& c : cases) {
    MinEntryLine e = ParseMinEntryLine(c.line);
    EXPECT_EQ(e.name, c.name) << c.line;
    EXPECT_EQ(e.usage, c.usage) << c.line;
    EXPECT_EQ(e.updated, c.updated) << c.line;
    EXPECT_EQ(e.type, c.type) << c.line;
    EXPECT_EQ(e.fixed_name, c.fixed) << c.line;
  }
}

TEST(MinFile, ReadsTheDemoMin) {
  auto min = ReadMinContents(kDemoMin, "/models/demo");
  ASSERT_TRUE(min) << min.error();
  ASSERT_EQ(min->entries.size(), 8u);
  EXPECT_EQ(min->entries[0].fields.name, "BASEDATA");
  EXPECT_EQ(min->entries[0].description, "Base data of the demo economy");
  // Descriptions are cut to 80 characters.
  EXPECT_EQ(min->entries[2].description,
            "Extra data, with a description that runs on well past the eighty characters that");
  EXPECT_EQ(min->entries[2].description.size(), 80u);
  EXPECT_EQ(min->entries[5].fields.name, "(display)");
  EXPECT_EQ(min->entries[5].description, "");
  EXPECT_EQ(min->tab_path, "/models/demo/demo.tab");
  EXPECT_EQ(min->sti_name, "");  // "%none"
  ASSERT_TRUE(min->release);
  EXPECT_EQ(*min->release, (MinRelease{80001, 3}));
  EXPECT_EQ(min->stamp, testing::kDemoStamp);  // trailing blanks removed
}

TEST(MinFile, StoresEntriesAndLines) {
  auto min = ReadMinContents(kDemoMin, "/models/demo");
  ASSERT_TRUE(min);
  TSimRecord rec;
  std::vector<std::string> lines{"old"};
  StoreMinEntries(*min, rec, lines);
  ASSERT_EQ(rec.NumMinFiles, 8);
  // The line list leaves out "(solution)" and "(equations)"; MinFiles keeps them.
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[5].substr(0, 9), "(display)");
  EXPECT_EQ(rec.MinFiles[7].Name, "(solution)");
  EXPECT_EQ(rec.MinFiles[7].Type, "sl4");
  EXPECT_TRUE(rec.MinFiles[7].Special);
  EXPECT_TRUE(rec.MinFiles[7].IsUpdated);
  EXPECT_EQ(rec.MinFiles[6].Type, "dis");
  EXPECT_EQ(rec.MinFiles[8].Type, "eq4");
  EXPECT_EQ(rec.MinFiles[4].Name, "XDATA");
  EXPECT_EQ(rec.MinFiles[4].Type, "har");
  EXPECT_TRUE(rec.MinFiles[4].IsInput);
  EXPECT_FALSE(rec.MinFiles[4].IsUpdated);
  EXPECT_FALSE(rec.MinFiles[5].IsInput);
}

TEST(MinFile, SpecialEntriesAndStiFile) {
  ScratchDir d;
  std::string path = d.Write(
      "m.min", JoinLines({"h1", "h2", MinEntry("(terminal)", "in", 'n', "ter"),
                          MinEntry("(solution)", "out", 'y', "sl4"), "#TABFILE", "/abs/m.tab",
                          "skipped", "#STIFILE", "m.sti", "#TMDATE",
                          "\x01stamp with control\x02 chars and more than forty characters"}));
  auto min = ReadMinContents(path, d.path());
  ASSERT_TRUE(min) << min.error();
  ASSERT_EQ(min->entries.size(), 2u);
  EXPECT_EQ(min->entries[0].description, "Data read from terminal");
  EXPECT_EQ(ToMinFileEntry(min->entries[0]).Type, "ter");
  EXPECT_EQ(min->tab_path, "/abs/m.tab");
  EXPECT_EQ(min->sti_name, "m.sti");
  EXPECT_FALSE(min->release);
  EXPECT_EQ(min->stamp, "stamp with control chars and more than");
}

TEST(MinFile, BadFilesGiveClearErrors) {
  ScratchDir d;
  struct Case {
    std::string text;
    const char* error_start;  // nullptr: reads
  };
  const Case cases[] = {
      {JoinLines({"h1", "h2", MinEntry("BASEDATA", "in", 'y', "har")}), "Unexpected end of file"},
      {JoinLines({"h1", "h2", MinEntry("BASEDATA", "in", 'y', "har"), "desc", "#TABFILE"}),
       "Unexpected end of file"},
      {JoinLines({"h1", "h2", "#TABFILE", "t.tab", "#STIFILE"}), "Unexpected end of file"},
      {"", nullptr},
      {"h1", nullptr},
      {JoinLines({"h1", "h2", "X", "d", "", "Y", "d", "#SVVER", "abc", "#PRVER", "2"}), nullptr},
      {std::string("h1\nh2\n\x00\x01\xff\xfe junk\n\x7f\x80 more junk\n", 29), nullptr},
  };
  for (const Case& c : cases) {
    std::string path = d.Write("bad.min", c.text);
    auto min = ReadMinContents(path, d.path());
    if (c.error_start) {
      ASSERT_FALSE(min);
      EXPECT_EQ(min.error().rfind(c.error_start, 0), 0u) << min.error();
    } else {
      ASSERT_TRUE(min) << min.error();
      EXPECT_FALSE(min->release);  // "abc" is not a release number
    }
  }
  auto missing = ReadMinContents(d / "none.min", d.path());
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("[TxtOpen]"), std::string::npos);
}

TEST(MinFile, MoreThanFiftyEntriesIsAnInternalError) {
  ScratchDir d;
  std::vector<std::string> lines{"h1", "h2"};
  for (int i = 1; i <= 51; ++i) {
    lines.push_back(MinEntry("F" + std::to_string(i), "in", 'n', "har"));
    lines.push_back("description");
  }
  lines.push_back("#TABFILE");
  lines.push_back("t.tab");
  auto min = ReadMinContents(d.Write("big.min", JoinLines(lines)), d.path());
  ASSERT_TRUE(min);
  TSimRecord rec;
  std::vector<std::string> entry_lines;
  EXPECT_THROW(StoreMinEntries(*min, rec, entry_lines), InternalError);
  EXPECT_EQ(rec.NumMinFiles, 50);
  min->entries.pop_back();
  EXPECT_NO_THROW(StoreMinEntries(*min, rec, entry_lines));
  EXPECT_EQ(rec.NumMinFiles, 50);
}

TEST(MinFile, Refusals) {
  struct Case {
    std::vector<std::string> entries;
    const char* refusal_start;  // nullptr: usable
  };
  const Case cases[] = {
      {{MinEntry("(terminal)", "in", 'n', "ter")}, "This model reads data from the terminal."},
      {{MinEntry("(solution)", "out", 'n', "sl4")}, "Nothing in this model is updated, so\r\n"},
      {{MinEntry("(solution)", "out", 'y', "sl4")}, nullptr},
      {{MinEntry("(solution)", "out", 'Y', "sl4")}, nullptr},
      {{MinEntry("DATA", "in", 'y', "har", "fixed.har"), "d"},
       "In this model, the name of the data file corresponding \r\n to logical name \"DATA\" "
       "is hard-wired in the TAB file as \"fixed.har\"\r\nAt present models where actual file "
       "names are hard-wired cannot be used with Yearloom.\r\nNo change made."},
      {{MinEntry("DATA", "in", 'y', "har"), "d"}, nullptr},
  };
  ScratchDir d;
  for (const Case& c : cases) {
    std::vector<std::string> lines{"h1", "h2"};
    lines.insert(lines.end(), c.entries.begin(), c.entries.end());
    lines.push_back("#TABFILE");
    lines.push_back("t.tab");
    auto min = ReadMinContents(d.Write("r.min", JoinLines(lines)), d.path());
    ASSERT_TRUE(min);
    auto refusal = MinEntriesRefusal(*min);
    if (c.refusal_start) {
      ASSERT_TRUE(refusal);
      EXPECT_EQ(refusal->rfind(c.refusal_start, 0), 0u) << *refusal;
    } else {
      EXPECT_FALSE(refusal) << *refusal;
    }
  }
}

}  // namespace
}  // namespace yl
