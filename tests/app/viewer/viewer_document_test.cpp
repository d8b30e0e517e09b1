// The viewer's reading of Header Array files: what the header list says, tables and
// slices of a three-dimensional header, string and integer headers, and files that are
// missing, cut short or not Header Array files at all.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "app/viewer/viewer_document.h"
#include "harfile/har_build.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::vector<std::string> kCom = {"agr", "man", "ser"};
const std::vector<std::string> kReg = {"north", "south"};
const std::vector<std::string> kYear = {"Y2021", "Y2022", "Y2023", "Y2024"};

// Each value tells its own position, so any slicing mistake shows.
double FlowValue(int com, int reg, int year) { return 100 * (com + 1) + 10 * (reg + 1) + year + 1; }

HarFile Fixture() {
  auto f = NewHarFile("viewer tests", "noon", false);
  EXPECT_TRUE(f) << f.error();
  auto flow = CreateUnLabelledRE("FLOW", "Flows by commodity, region and year", 3,
                                 {3, 2, 4, 1, 1, 1, 1}, true);
  EXPECT_TRUE(flow) << flow.error();
  EXPECT_TRUE(SetDimensionSet(*flow, 0, "COM", kCom));
  EXPECT_TRUE(SetDimensionSet(*flow, 1, "REG", kReg));
  EXPECT_TRUE(SetDimensionSet(*flow, 2, "YEAR", kYear));
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 2; ++r)
      for (int y = 0; y < 4; ++y) flow->values[c + 3 * (r + 2 * y)] = float(FlowValue(c, r, y));
  EXPECT_TRUE(AddHeaderNil(*f, std::move(*flow)));
  auto plain = CreateUnLabelledRE("PLAN", "Unlabelled", 2, {2, 3, 1, 1, 1, 1, 1}, true);
  for (int i = 0; i < 6; ++i) plain->values[i] = 0.5f * float(i);
  EXPECT_TRUE(AddHeaderNil(*f, std::move(*plain)));
  EXPECT_TRUE(AddBuiltHeader(*f, StringHeader("NOTE", "Notes", {"first line", "second"})));
  EXPECT_TRUE(AddBuiltHeader(*f, IntHeader("CNTS", "Counts", 2, 3, {1, 2, 3, 4, 5, 6})));
  auto scalar = CreateUnLabelledRE("SCAL", "One number", 1, {1, 1, 1, 1, 1, 1, 1}, true);
  scalar->values[0] = -2.5f;
  EXPECT_TRUE(AddHeaderNil(*f, std::move(*scalar)));
  return std::move(*f);
}

class ViewerDocumentTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    path = scratch / "fixture.har";
    HarFile f = Fixture();
    ASSERT_TRUE(WriteHarFile(path, "viewer tests", "noon", f));
    auto d = ViewerDocument::Open(path);
    ASSERT_TRUE(d) << d.error();
    doc = std::move(*d);
  }
  std::size_t Index(const std::string& name) const {
    for (std::size_t i = 0; i < doc->entries().size(); ++i) {
      if (doc->entries()[i].name == name) return i;
    }
    ADD_FAILURE() << "no entry " << name;
    return 0;
  }
  std::string path;
  std::optional<ViewerDocument> doc;
};

TEST_F(ViewerDocumentTest, TheHeaderListGivesNamesTypesDimensionsAndDescriptions) {
  struct Row {
    std::string name, type, dims, sizes, description;
  };
  const std::vector<Row> expected = {
      {"FLOW", "RE", "COM*REG*YEAR", "3*2*4", "Flows by commodity, region and year"},
      {"PLAN", "RE", "2*3", "2*3", "Unlabelled"},
      {"NOTE", "1C", "2", "2", "Notes"},
      {"CNTS", "2I", "2*3", "2*3", "Counts"},
      {"SCAL", "RE", "1", "1", "One number"},
  };
  EXPECT_EQ(doc->kind(), ViewerFileKind::kHeaderArray);
  for (const Row& row : expected) {
    const ViewerEntry& e = doc->entries()[Index(row.name)];
    EXPECT_EQ(e.type, row.type) << row.name;
    EXPECT_EQ(e.DimsText(), row.dims) << row.name;
    EXPECT_EQ(e.SizesText(), row.sizes) << row.name;
    EXPECT_EQ(e.description, row.description) << row.name;
  }
  const ViewerEntry& flow = doc->entries()[Index("FLOW")];
  EXPECT_EQ(flow.dims[1].elements, kReg);
  EXPECT_EQ(flow.dims[2].elements, kYear);
  // The file's own creation headers are listed too.
  EXPECT_EQ(doc->entries()[Index("XXCR")].type, "1C");
}

TEST_F(ViewerDocumentTest, AnyTwoDimensionsMakeTheTableWithTheOthersFixed) {
  struct Case {
    int rows, cols;
    std::array<std::int32_t, 3> fixed;
    std::string row_title, col_title;
  };
  const std::vector<std::vector<std::string>> labels = {kCom, kReg, kYear};
  for (const Case& c : {Case{0, 1, {0, 0, 2}, "COM", "REG"}, Case{2, 0, {0, 1, 0}, "YEAR", "COM"},
                        Case{1, 2, {2, 0, 0}, "REG", "YEAR"}}) {
    ViewerSlice slice{c.rows, c.cols, {c.fixed.begin(), c.fixed.end()}};
    auto t = doc->Table(Index("FLOW"), slice);
    ASSERT_TRUE(t) << t.error();
    EXPECT_EQ(t->row_title(), c.row_title);
    EXPECT_EQ(t->column_title(), c.col_title);
    ASSERT_EQ(t->rows(), static_cast<int>(labels[c.rows].size()));
    ASSERT_EQ(t->columns(), static_cast<int>(labels[c.cols].size()));
    for (int r = 0; r < t->rows(); ++r) {
      EXPECT_EQ(t->RowLabel(r), labels[c.rows][r]);
      for (int k = 0; k < t->columns(); ++k) {
        EXPECT_EQ(t->ColumnLabel(k), labels[c.cols][k]);
        std::array<int, 3> at = c.fixed;
        at[c.rows] = r;
        at[c.cols] = k;
        EXPECT_EQ(t->Number(r, k), FlowValue(at[0], at[1], at[2])) << c.row_title << r << k;
      }
    }
  }
}

TEST_F(ViewerDocumentTest, StringIntegerUnlabelledAndScalarHeadersShowAsTables) {
  auto note = doc->Table(Index("NOTE"), DefaultSlice(doc->entries()[Index("NOTE")]));
  ASSERT_TRUE(note) << note.error();
  EXPECT_EQ(note->kind(), CellKind::kText);
  ASSERT_EQ(note->rows(), 2);
  ASSERT_EQ(note->columns(), 1);
  EXPECT_EQ(note->RowLabel(1), "2");
  EXPECT_EQ(note->Text(0, 0), "first line");
  EXPECT_EQ(note->Text(1, 0), "second");

  // Integers are stored row index fastest.
  auto counts = doc->Table(Index("CNTS"), DefaultSlice(doc->entries()[Index("CNTS")]));
  ASSERT_TRUE(counts) << counts.error();
  EXPECT_EQ(counts->kind(), CellKind::kInteger);
  EXPECT_EQ(counts->rows(), 2);
  EXPECT_EQ(counts->columns(), 3);
  EXPECT_EQ(counts->Text(1, 0), "2");
  EXPECT_EQ(counts->Text(0, 2), "5");

  auto plain = doc->Table(Index("PLAN"), DefaultSlice(doc->entries()[Index("PLAN")]));
  ASSERT_TRUE(plain) << plain.error();
  EXPECT_EQ(plain->RowLabel(1), "2");
  EXPECT_EQ(plain->ColumnLabel(2), "3");
  EXPECT_EQ(plain->Text(1, 2), "2.5");

  auto scalar = doc->Table(Index("SCAL"), DefaultSlice(doc->entries()[Index("SCAL")]));
  ASSERT_TRUE(scalar) << scalar.error();
  EXPECT_EQ(scalar->rows(), 1);
  EXPECT_EQ(scalar->ColumnLabel(0), "Value");
  EXPECT_EQ(scalar->Text(0, 0), "-2.5");
}

TEST_F(ViewerDocumentTest, ChoosingTheSameDimensionForRowsAndColumnsSwapsThem) {
  const ViewerSlice first = DefaultSlice(doc->entries()[Index("FLOW")]);
  EXPECT_EQ(first, (ViewerSlice{0, 1, {0, 0, 0}}));
  EXPECT_EQ(SliceWithRows(first, 1), (ViewerSlice{1, 0, {0, 0, 0}}));
  EXPECT_EQ(SliceWithColumns(first, 0), (ViewerSlice{1, 0, {0, 0, 0}}));
  EXPECT_EQ(SliceWithRows(first, 2), (ViewerSlice{2, 1, {0, 0, 0}}));

  struct Bad {
    ViewerSlice slice;
    std::string says;
  };
  const ViewerEntry& flow = doc->entries()[Index("FLOW")];
  for (const Bad& b : {Bad{{0, 0, {0, 0, 0}}, "different dimensions"},
                       Bad{{0, 1, {0, 0, 4}}, "Element 5 is not in dimension YEAR"},
                       Bad{{3, 1, {0, 0, 0}}, "no dimension for the rows"},
                       Bad{{0, -1, {0, 0, 0}}, "Choose a dimension for the columns"}}) {
    EXPECT_THAT(CheckSlice(flow, b.slice), HasSubstr(b.says));
    auto t = doc->Table(Index("FLOW"), b.slice);
    ASSERT_FALSE(t);
    EXPECT_THAT(t.error(), HasSubstr(b.says));
  }
}

class ViewerHostileFileTest : public IsolatedEnvTest {};

TEST_F(ViewerHostileFileTest, MissingEmptyAndForeignFilesAreRefusedWithTheirReason) {
  struct Case {
    std::string name;
    std::function<std::string(const ScratchDir&)> make;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"missing", [](const ScratchDir& s) { return s / "nothing.har"; }, "does not exist"},
      {"folder", [](const ScratchDir& s) { return s.MakeDir("adir"); }, "is a folder"},
      {"empty", [](const ScratchDir& s) { return s.Write("empty.sl4", ""); }, "is empty"},
      {"text", [](const ScratchDir& s) { return s.Write("notes.har", "hello, world\n"); },
       "cannot be read as a Header Array file"},
      {"bytes",
       [](const ScratchDir& s) { return s.Write("junk.sl4", std::string("\xFD\x04\xFF\xFF", 4)); },
       "cannot be read as a Header Array file"},
  };
  for (const Case& c : cases) {
    const std::string path = c.make(scratch);
    auto d = ViewerDocument::Open(path);
    ASSERT_FALSE(d) << c.name;
    EXPECT_THAT(d.error(), HasSubstr(c.says)) << c.name;
    EXPECT_THAT(d.error(), HasSubstr(path)) << c.name;
  }
}

TEST_F(ViewerHostileFileTest, AFileCutShortFailsWhereverItIsCut) {
  HarFile f = Fixture();
  auto bytes = WriteHarBytes("viewer tests", "noon", f);
  ASSERT_TRUE(bytes) << bytes.error();
  const std::string path = scratch / "cut.har";
  int refused_at_open = 0, refused_at_header = 0;
  for (std::size_t cut = 1; cut < bytes->size(); cut += 5) {
    WriteFileBytes(path, bytes->substr(0, cut));
    auto d = ViewerDocument::Open(path);
    if (!d) {
      EXPECT_THAT(d.error(), HasSubstr("cannot be read as a Header Array file")) << cut;
      ++refused_at_open;
      continue;
    }
    // What the list shows must read in full, or say why not.
    for (std::size_t i = 0; i < d->entries().size(); ++i) {
      auto t = d->Table(i, DefaultSlice(d->entries()[i]));
      if (!t) {
        EXPECT_THAT(t.error(), HasSubstr(path)) << cut;
        ++refused_at_header;
        continue;
      }
      for (int r = 0; r < t->rows(); ++r) (void)t->Text(r, t->columns() - 1);
    }
  }
  EXPECT_GT(refused_at_open, 0);
  EXPECT_GT(refused_at_header, 0);
}

}  // namespace
}  // namespace yl::testing
