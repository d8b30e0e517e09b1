#include "harfile/har_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "har_test_util.h"
#include "platform/files.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::Crafter;
using testing::HeaderRecords;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::Word;

using Sizes = std::array<std::int32_t, 7>;

HarHeader Real(const std::string& name, Sizes sizes, int ndim) {
  auto h = CreateUnLabelledRE(name, "desc of " + name, ndim, sizes, true);
  EXPECT_TRUE(h) << h.error();
  for (std::int64_t i = 0; i < h->element_count; ++i) h->values[i] = float(i) * 0.5f + 1.0f;
  return std::move(*h);
}

HarFile NewFile() {
  auto f = NewHarFile("tests", "noon", false);
  EXPECT_TRUE(f);
  return std::move(*f);
}

// A file holding one header of each kind.
HarFile Sample() {
  HarFile f = NewFile();
  EXPECT_TRUE(AddHeaderNil(f, *Create1C("STRS", "Some strings", {"alpha", "be ta", ""}, 8)));
  HarHeader ints = *Create2I("INTS", "Integers", 3, 2);
  for (int i = 0; i < 6; ++i) ints.ints[i] = i * 10 - 7;
  EXPECT_TRUE(AddHeaderNil(f, ints));
  HarHeader lab = Real("LAB1", {3, 2, 1, 2, 1, 1, 1}, 4);
  EXPECT_TRUE(SetDimensionSet(lab, 0, "COM", {"agr", "man", "ser"}));
  EXPECT_TRUE(SetDimensionSet(lab, 1, "REG", {}));
  lab.sets.StName[2] = "SRC";
  lab.sets.RDelst[2] = 'e';
  lab.sets.elno[2] = 2;
  lab.sets.eltnam[2] = "imp";
  lab.sets.elements[2] = {"imp"};
  EXPECT_TRUE(SetDimensionSet(lab, 3, "REG2", {"n", "s"}));
  lab.sets.stknow = true;
  SetCoefficientName(lab, "V1BAS");
  EXPECT_TRUE(AddHeaderNil(f, lab));
  EXPECT_TRUE(AddHeaderNil(f, Real("UNL1", {4, 1, 5, 1, 1, 1, 1}, 3)));
  HarHeader scalar = Real("SCAL", {1, 1, 1, 1, 1, 1, 1}, 0);
  EXPECT_TRUE(AddHeaderNil(f, scalar));
  return f;
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(RoundTrip, EveryHeaderTypeComesBack) {
  ScratchDir dir;
  std::string p = dir / "s.har";
  HarFile out = Sample();
  out.fujitsu = GetParam();
  ASSERT_TRUE(WriteHarFile(p, "prog", "today", out));
  auto in = ReadHarFile(p);
  ASSERT_TRUE(in) << in.error();
  EXPECT_EQ(in->fujitsu, GetParam());
  ASSERT_EQ(in->headers.size(), 5u);
  EXPECT_EQ(in->XXCD->strings, std::vector<std::string>{"at today"});
  EXPECT_EQ(in->XXCR->strings, (std::vector<std::string>{"prog", "HARFILE 16/Apr/2007"}));
  EXPECT_EQ(in->XXHS->strings, std::vector<std::string>{"no previous history"});

  const HarHeader* s = in->Find("strs");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->type, "1C");
  EXPECT_EQ(s->string_length, 8);
  EXPECT_EQ(s->strings, (std::vector<std::string>{"alpha", "be ta", ""}));
  EXPECT_EQ(s->size_text, "3 length 8");

  const HarHeader* i = in->Find("INTS");
  ASSERT_TRUE(i);
  EXPECT_EQ(i->ints, out.Find("INTS")->ints);
  EXPECT_EQ(i->short_size_text, "3*2");

  const HarHeader* l = in->Find("LAB1");
  ASSERT_TRUE(l);
  EXPECT_EQ(l->type, "RE");
  EXPECT_EQ(l->NDim, 4);
  EXPECT_EQ(l->sizes, (Sizes{3, 2, 1, 2, 1, 1, 1}));
  EXPECT_EQ(std::vector<float>(l->values.values().begin(), l->values.values().end()),
            std::vector<float>(out.Find("LAB1")->values.values().begin(),
                               out.Find("LAB1")->values.values().end()));
  EXPECT_EQ(l->sets.coeff_name, "V1BAS");
  EXPECT_EQ(l->description, "desc of LAB1");
  EXPECT_EQ(l->sets.StName[0], "COM");
  EXPECT_EQ(l->sets.RDelst[0], 'k');
  EXPECT_EQ(l->sets.elements[0], (std::vector<std::string>{"agr", "man", "ser"}));
  EXPECT_EQ(l->sets.StName[1], "REG");
  EXPECT_EQ(l->sets.RDelst[1], 'u');
  EXPECT_EQ(l->sets.RDelst[2], 'e');
  EXPECT_EQ(l->sets.elno[2], 2);
  EXPECT_EQ(l->sets.eltnam[2], "imp");
  EXPECT_EQ(l->sets.elements[3], (std::vector<std::string>{"n", "s"}));
  EXPECT_EQ(l->size_text, "COM*REG*SRC*REG2");

  const HarHeader* u = in->Find("UNL1");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->NDim, 3);
  EXPECT_EQ(u->sets.StName[0], "");  // the invented "Unk4" is dropped again on reading
  EXPECT_EQ(u->values[19], out.Find("UNL1")->values[19]);

  const HarHeader* sc = in->Find("SCAL");
  ASSERT_TRUE(sc);
  EXPECT_EQ(sc->NDim, 0);
  EXPECT_EQ(sc->values[0], 1.0f);
  EXPECT_EQ(sc->short_size_text, "1");
}

INSTANTIATE_TEST_SUITE_P(Variants, RoundTrip, ::testing::Values(false, true));

// Files in memory (what the fuzz targets use) are the same bytes as files on disk, both
// ways, and fail the same way when cut short.
TEST_P(RoundTrip, MemoryFormIsTheFileForm) {
  ScratchDir dir;
  std::string p = dir / "s.har";
  HarFile out = Sample();
  out.fujitsu = GetParam();
  HarFile copy = out;
  ASSERT_TRUE(WriteHarFile(p, "prog", "today", out));
  auto bytes = WriteHarBytes("prog", "today", copy);
  ASSERT_TRUE(bytes) << bytes.error();
  EXPECT_EQ(*bytes, ReadFileBytes(p));

  auto in = ReadHarBytes(*bytes, "mem.har");
  ASSERT_TRUE(in) << in.error();
  EXPECT_EQ(in->fujitsu, GetParam());
  ASSERT_EQ(in->headers.size(), 5u);
  EXPECT_EQ(in->Find("INTS")->ints, out.Find("INTS")->ints);
  auto one = ReadHeaderFromHarBytes(*bytes, "mem.har", "strs");
  ASSERT_TRUE(one && *one);
  EXPECT_EQ((*one)->strings, (std::vector<std::string>{"alpha", "be ta", ""}));

  const std::string cut = bytes->substr(0, bytes->size() - 3);
  std::string cut_path = dir / "cut.har";
  ASSERT_TRUE(WriteFileAtomically(cut_path, cut));
  auto from_file = ReadHarFile(cut_path);
  auto from_memory = ReadHarBytes(cut, cut_path);
  ASSERT_FALSE(from_file);
  ASSERT_FALSE(from_memory);
  EXPECT_EQ(from_memory.error(), from_file.error());
  EXPECT_FALSE(ReadHarBytes("", "empty.har"));
}

TEST(WriteHarFile, FileLayoutStartsWithTheSpecialHeaders) {
  ScratchDir dir;
  std::string p = dir / "l.har";
  HarFile f = Sample();
  ASSERT_TRUE(WriteHarFile(p, "prog", "today", f));
  std::string bytes = ReadFileBytes(p);
  ASSERT_GE(bytes.size(), 7u);
  EXPECT_EQ(bytes.substr(0, 7), std::string("\xFD\x10XXCD\x14", 7));
  std::vector<std::string> names;
  for (const std::string& r : testing::Records(p)) {
    if (r.size() == 4) names.push_back(r);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"XXCD", "XXCR", "XXHS", "STRS", "INTS", "LAB1", "UNL1",
                                             "SCAL"}));
  auto strs = HeaderRecords(p, "STRS");
  ASSERT_EQ(strs.size(), 3u);
  EXPECT_EQ(strs[1].size(), 92u);  // description record of a 1C header
  EXPECT_EQ(strs[1].substr(4, 6), "1CFULL");
  EXPECT_EQ(strs[2].size(), 4u + 12u + 3u * 8u);
  auto lab = HeaderRecords(p, "LAB1");
  EXPECT_EQ(lab[1].size(), 112u);
  // set information, element names of COM and REG2, then dimensions, ranges, values
  EXPECT_EQ(lab.size(), 1u + 1u + 1u + 2u + 3u);
}

struct BlockCase {
  const char* what;
  Sizes sizes;
  int ndim;
  std::vector<std::int32_t> left;     // records left on the records after the dimensions one
  std::vector<std::int64_t> per_rec;  // values in each values record
};

class FullBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(FullBlocks, CutsAsDocumented) {
  const BlockCase& c = GetParam();
  ScratchDir dir;
  std::string p = dir / "b.har";
  HarFile f = NewFile();
  ASSERT_TRUE(AddHeaderNil(f, Real("ARR1", c.sizes, c.ndim)));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  auto recs = HeaderRecords(p, "ARR1");
  ASSERT_GE(recs.size(), 4u);
  // name, description, set information, dimensions
  std::int32_t first_left = Word(recs[3], 4);
  EXPECT_EQ(first_left, static_cast<std::int32_t>(c.left.size()) + 1) << c.what;
  std::vector<std::int32_t> left;
  std::vector<std::int64_t> per;
  for (std::size_t i = 4; i < recs.size(); ++i) {
    left.push_back(Word(recs[i], 4));
    if ((i - 4) % 2 == 1) per.push_back((std::int64_t(recs[i].size()) - 8) / 4);
  }
  EXPECT_EQ(left, c.left) << c.what;
  EXPECT_EQ(per, c.per_rec) << c.what;
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back) << back.error();
  const HarHeader* h = back->Find("ARR1");
  ASSERT_TRUE(h);
  for (std::int64_t i = 0; i < h->element_count; ++i) {
    ASSERT_EQ(h->values[i], float(i) * 0.5f + 1.0f) << c.what << " at " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FullBlocks,
    ::testing::Values(
        BlockCase{"3x4x5", {3, 4, 5, 1, 1, 1, 1}, 3, {2, 1}, {60}},
        BlockCase{"10000", {10000, 1, 1, 1, 1, 1, 1}, 1, {4, 3, 2, 1}, {7000, 3000}},
        BlockCase{"5000x3", {5000, 3, 1, 1, 1, 1, 1}, 2, {6, 5, 4, 3, 2, 1}, {5000, 5000, 5000}},
        BlockCase{"10x800x2",
                  {10, 800, 2, 1, 1, 1, 1},
                  3,
                  {8, 7, 6, 5, 4, 3, 2, 1},
                  {7000, 1000, 7000, 1000}},
        BlockCase{"2x3x0", {2, 3, 0, 1, 1, 1, 1}, 3, {2, 1}, {0}}));

TEST(WriteHarFile, SparseChoiceFollowsTheSeventyPercentRule) {
  ScratchDir dir;
  std::string p = dir / "sp.har";
  HarFile f = NewFile();
  for (auto [name, nonzero] : {std::pair{"Z71", 29}, std::pair{"Z70", 30}}) {
    auto h = CreateUnLabelledRE(name, "", 1, {100, 1, 1, 1, 1, 1, 1}, true);
    for (int i = 0; i < nonzero; ++i) h->values[i * 3] = float(i + 1);
    ASSERT_TRUE(AddHeaderNil(f, std::move(*h)));
  }
  HarWriteOptions sparse{true};
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f, sparse));
  EXPECT_EQ(HeaderRecords(p, "Z71 ")[1].substr(6, 4), "SPSE");
  EXPECT_EQ(HeaderRecords(p, "Z70 ")[1].substr(6, 4), "FULL");
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(back->Find("Z71")->storage, "SPSE");
  EXPECT_EQ(back->Find("Z71")->values[84], 29.0f);
  EXPECT_EQ(back->Find("Z71")->values[85], 0.0f);
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));  // setting off: always full
  EXPECT_EQ(HeaderRecords(p, "Z71 ")[1].substr(6, 4), "FULL");
}

TEST(WriteHarFile, SparseRecordsHoldAtMost2333Entries) {
  ScratchDir dir;
  std::string p = dir / "sp.har";
  HarFile f = NewFile();
  auto h = CreateUnLabelledRE("BIG", "", 1, {50000, 1, 1, 1, 1, 1, 1}, true);
  for (int i = 0; i < 4667; ++i) h->values[i * 10 + 3] = float(i) - 2000.5f;
  ASSERT_TRUE(AddHeaderNil(f, std::move(*h)));
  auto e = CreateUnLabelledRE("EMPT", "", 1, {50, 1, 1, 1, 1, 1, 1}, true);
  ASSERT_TRUE(AddHeaderNil(f, std::move(*e)));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f, HarWriteOptions{true}));
  auto recs = HeaderRecords(p, "BIG ");
  ASSERT_EQ(recs.size(), 3u + 1u + 3u);
  EXPECT_EQ(Word(recs[3], 4), 4667);  // sparse head: NNZ, 4, 4
  std::vector<std::int32_t> left, here;
  for (std::size_t i = 4; i < recs.size(); ++i) {
    left.push_back(Word(recs[i], 4));
    EXPECT_EQ(Word(recs[i], 8), 4667);
    here.push_back(Word(recs[i], 12));
  }
  EXPECT_EQ(left, (std::vector<std::int32_t>{3, 2, 1}));
  EXPECT_EQ(here, (std::vector<std::int32_t>{2333, 2333, 1}));
  EXPECT_EQ(Word(recs[4], 16), 4);  // first position: index 3, 1-based
  auto empty = HeaderRecords(p, "EMPT");
  ASSERT_EQ(empty.size(), 5u);
  EXPECT_EQ(Word(empty[3], 4), 0);
  EXPECT_EQ(Word(empty[4], 4), 1);
  EXPECT_EQ(Word(empty[4], 12), 0);
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back) << back.error();
  const HarHeader* b = back->Find("BIG");
  EXPECT_EQ(b->values[3], -2000.5f);
  EXPECT_EQ(b->values[46663], 4666.0f - 2000.5f);
  EXPECT_EQ(b->values[46664], 0.0f);
}

TEST(WriteHarFile, TwoDimensionalIntegersGoWholeColumnsPerRecord) {
  ScratchDir dir;
  std::string p = dir / "i.har";
  HarFile f = NewFile();
  auto h = Create2I("MAT", "", 3000, 5);
  for (std::size_t i = 0; i < h->ints.size(); ++i) h->ints[i] = std::int32_t(i);
  ASSERT_TRUE(AddHeaderNil(f, std::move(*h)));
  ASSERT_TRUE(AddHeaderNil(f, *Create2I("NONE", "", 0, 4)));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  auto recs = HeaderRecords(p, "MAT ");
  ASSERT_EQ(recs.size(), 5u);
  std::vector<std::int32_t> cols;
  for (std::size_t i = 2; i < 5; ++i) cols.push_back(Word(recs[i], 24));
  EXPECT_EQ(cols, (std::vector<std::int32_t>{1, 3, 5}));  // first column of each record
  EXPECT_EQ(Word(recs[2], 4), 3);
  EXPECT_EQ(Word(HeaderRecords(p, "NONE")[2], 4), 1);
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(back->Find("MAT")->ints[14999], 14999);
  EXPECT_EQ(back->Find("NONE")->ints.size(), 0u);
}

TEST(WriteHarFile, ColumnTooLongForOneRecordIsCutIntoRowBlocks) {
  ScratchDir dir;
  std::string p = dir / "tall.har";
  HarFile f = NewFile();
  auto h = Create2I("TALL", "", 2'100'000, 1);
  for (std::size_t i = 0; i < h->ints.size(); ++i) h->ints[i] = std::int32_t(i % 977);
  ASSERT_TRUE(AddHeaderNil(f, std::move(*h)));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  auto recs = HeaderRecords(p, "TALL");
  ASSERT_EQ(recs.size(), 2u + 300u);  // 2,100,000 rows in blocks of 7,000
  EXPECT_EQ(Word(recs[2], 4), 300);
  EXPECT_EQ(Word(recs[3], 16), 7001);  // first row of the second block
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(back->Find("TALL")->ints, f.Find("TALL")->ints);
}

TEST(CheckHarFile, NamesAreCheckedAndNormalised) {
  struct Case {
    std::vector<std::string> names;
    std::string message;
  };
  std::vector<Case> cases = {
      {{"abc", "ABC "}, "Header \"ABC\" appears twice, at positions 1 and 2"},
      {{"ok1", "A-B"},
       "Header no 2, \"A-B\" is illegal: \r\nHeader must only contain letters A-Z or digits 0-9"},
      {{"    "}, "Header no 1, \"\" is illegal: \r\nHeader must not be blank or all spaces"},
      {{" XX1"},
       "Header no 1, \" XX1\" is illegal: \r\nHeader names beginning with \"XX\" are reserved for "
       "Solvara internal use"},
      {{"xx01", "a@_1", "z 9"}, ""},
  };
  for (const Case& c : cases) {
    HarFile f;
    for (const std::string& n : c.names) {
      HarHeader h = *Create1C("TMP", "", {"x"}, 1);
      h.name = n;  // as a caller might set it, bypassing completion
      f.headers.push_back(h);
    }
    EXPECT_EQ(CheckHarFile(f), c.message);
    if (c.message.empty()) {
      EXPECT_EQ(f.headers[0].name, "XX01");
      EXPECT_EQ(f.headers[1].name, "A@_1");
      EXPECT_EQ(f.headers[2].name, "Z9  ");
    }
  }
  EXPECT_EQ(NormaliseHeaderName(" a\tb c "), "ABC ");
  EXPECT_EQ(NormaliseHeaderName("abcdef"), "ABCD");
  EXPECT_EQ(HeaderNameFromNumber(12), "0012");
  EXPECT_EQ(HeaderNameFromNumber(123456), "1234");
}

TEST(WriteHarFile, IllegalNameStopsTheWriteAndKeepsTheOldFile) {
  ScratchDir dir;
  std::string p = dir.Write("keep.har", "old contents");
  HarFile f = NewFile();
  ASSERT_TRUE(AddHeaderNil(f, *Create1C("A-B", "", {"x"}, 1)));
  auto r = WriteHarFile(p, "t", "t", f);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(),
            "Header no 1, \"A-B\" is illegal: \r\nHeader must only contain letters A-Z or digits "
            "0-9 [WriteHarFile]");
  EXPECT_EQ(ReadFileBytes(p), "old contents");
}

TEST(WriteHarFile, HistoryMustHaveStringsOfSixty) {
  ScratchDir dir;
  std::string p = dir.Write("keep.har", "old contents");
  HarFile f = NewFile();
  f.XXHS = *Create1C("XXHS", "File History", {"a long history line"}, 72);
  auto r = WriteHarFile(p, "t", "t", f);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "History strings are of length 72 should be 60. [WriteHarFile]");
  EXPECT_EQ(ReadFileBytes(p), "old contents");  // a failed write leaves the old file alone
  EXPECT_FALSE(AnyFileMatching(dir.path(), "keep.har?*"));  // and no temporary file
}

// The complete file cannot take the target's name: the directory there stays untouched.
TEST(WriteHarFile, TargetThatIsADirectoryIsRefusedAfterTheWrite) {
  ScratchDir dir;
  dir.Write("busy.har/inside.txt", "x");
  std::string p = dir / "busy.har";
  HarFile f = NewFile();
  ASSERT_TRUE(AddHeaderNil(f, *Create1C("ABC", "", {"x"}, 1)));
  auto r = WriteHarFile(p, "t", "t", f);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Can't create file: " + p + " [WriteHarFile]");
  EXPECT_EQ(dir.Read("busy.har/inside.txt"), "x");
  EXPECT_FALSE(AnyFileMatching(dir.path(), "busy.har?*"));
}

TEST(WriteHarFile, XXHeadersGoFirstAndXXFFIsNeverWritten) {
  ScratchDir dir;
  std::string p = dir / "x.har";
  HarFile f = NewFile();
  ASSERT_TRUE(AddHeaderNil(f, *Create1C("ZED", "", {"z"}, 1)));
  ASSERT_TRUE(AddHeaderNil(f, *Create1C("xx01", "", {"x"}, 1)));
  ASSERT_TRUE(AddHeaderNil(f, *Create1C("XXFF", "", {"f"}, 1)));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  std::vector<std::string> names;
  for (const std::string& r : testing::Records(p)) {
    if (r.size() == 4) names.push_back(r);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"XXCD", "XXCR", "XXHS", "XX01", "ZED "}));
  EXPECT_TRUE(f.Find("XXFF"));
}

TEST(SortHeaders, XXFirstThenByName) {
  HarFile f;
  for (const char* n : {"B", "XXZZ", "A", "C", "XXAA"}) {
    ASSERT_TRUE(AddHeaderNil(f, *Create1C(n, "", {"x"}, 1)));
  }
  SortHeaders(f);
  std::vector<std::string> names;
  for (const HarHeader& h : f.headers) names.push_back(h.name);
  EXPECT_EQ(names, (std::vector<std::string>{"XXZZ", "XXAA", "A   ", "B   ", "C   "}));
}

TEST(AddHeaderNil, RefusesThe8001stHeader) {
  HarFile f;
  HarHeader h = *Create1C("H", "", {"x"}, 1);
  for (int i = 0; i < kMaxHeaders; ++i) f.headers.push_back(h);
  auto r = AddHeaderNil(f, h);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Too many headers: max is 8000 [AddHeaderNil]");
}

TEST(CreateUnLabelledRE, ChecksItsArguments) {
  struct Case {
    int ndim;
    Sizes sizes;
    std::string error;
  };
  std::vector<Case> cases = {
      {-1, {1, 1, 1, 1, 1, 1, 1}, "NDim<0 [CreateUnLabelledRE]"},
      {8, {1, 1, 1, 1, 1, 1, 1}, "NDim>7 [CreateUnLabelledRE]"},
      {1, {4, 2, 1, 1, 1, 1, 1}, "unused dims should=1 [CreateUnLabelledRE]"},
      {1,
       {33554431, 1, 1, 1, 1, 1, 1},
       "Dimension too large(33554431), max is 33554430 [CreateUnLabelledRE]"},
      {2,
       {20000, 20000, 1, 1, 1, 1, 1},
       "Array size (20000*20000) too large: max is 268435455 elements [CreateUnLabelledRE]"},
  };
  for (const Case& c : cases) {
    auto h = CreateUnLabelledRE("X", "", c.ndim, c.sizes, false);
    ASSERT_FALSE(h);
    EXPECT_EQ(h.error(), c.error);
  }
  auto ok = CreateUnLabelledRE("X", "", 3, {3, 1, 4, 1, 1, 1, 1}, false);
  ASSERT_TRUE(ok);
  EXPECT_FALSE(ok->values.allocated());
  EXPECT_EQ(NDimOfSizes({3, 1, 4, 1, 1, 1, 1}), 3);
  EXPECT_EQ(NDimOfSizes({1, 1, 1, 1, 1, 1, 1}), 1);
}

TEST(AddADim, AddsFirstOrLast) {
  HarHeader h = Real("ADD", {2, 3, 1, 1, 1, 1, 1}, 2);
  ASSERT_TRUE(SetDimensionSet(h, 0, "A", {"a1", "a2"}));
  ASSERT_TRUE(SetDimensionSet(h, 1, "B", {}));
  TSetRec s{4, "NEW", "No description", true, {"n1", "n2", "n3", "n4"}};
  auto first = AddADim(h, s, true);
  ASSERT_TRUE(first) << first.error();
  EXPECT_EQ(first->NDim, 3);
  EXPECT_EQ(first->sizes, (Sizes{4, 2, 3, 1, 1, 1, 1}));
  EXPECT_EQ(first->sets.StName[0], "NEW");
  EXPECT_EQ(first->sets.StName[2], "B");
  EXPECT_EQ(first->element_count, 24);
  EXPECT_EQ(first->values.size(), 24);
  EXPECT_EQ(first->values[5], 0.0f);
  auto last = AddADim(h, s, false);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->sizes, (Sizes{2, 3, 4, 1, 1, 1, 1}));
  EXPECT_EQ(last->sets.elements[2][3], "n4");

  EXPECT_EQ(AddADim(h, TSetRec{0, "Z", "", false, {}}, true).error(),
            "Bad new set length [AddADim]");
  EXPECT_EQ(AddADim(h, TSetRec{2, "Z", "", true, {"a"}}, true).error(),
            "ElmsKnown, SetElms mismatch [AddADim]");
  EXPECT_EQ(AddADim(h, TSetRec{2, "", "", false, {}}, true).error(),
            "OutHed:StName blank [AddADim]");
  HarHeader unl = Real("UNL", {2, 1, 1, 1, 1, 1, 1}, 1);
  EXPECT_EQ(AddADim(unl, s, true).error(), "InHed:stknow false [AddADim]");
  HarHeader seven = Real("SEV", {1, 1, 1, 1, 1, 1, 1}, 7);
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(SetDimensionSet(seven, i, "S" + std::to_string(i), {}));
  EXPECT_EQ(AddADim(seven, s, true).error(), "Cannot make 8-dim array [AddADim]");
}

TEST(CloneHeader, CopiesDeeplyAndRefusesUnknownTypes) {
  HarHeader h = Real("CLN", {3, 1, 1, 1, 1, 1, 1}, 1);
  auto c = CloneHeader(h);
  ASSERT_TRUE(c);
  c->values[0] = 99.0f;
  EXPECT_EQ(h.values[0], 1.0f);
  EXPECT_NE(c->values.data(), h.values.data());
  h.type = "ZZ";
  EXPECT_EQ(CloneHeader(h).error(), "Unrecognized Header Type \"ZZ\" [CloneHeader]");
}

TEST(CompleteHeaderRecord, CleansDescriptionsAndTexts) {
  HarHeader h = Real("DSC", {2, 2, 1, 1, 1, 1, 1}, 2);
  h.description = "  tab\there \x01 ";
  ASSERT_TRUE(CompleteHeaderRecord(h));
  EXPECT_EQ(h.description, "tab here");
  h.description = "";
  SetCoefficientName(h, "COEF");
  ASSERT_TRUE(CompleteHeaderRecord(h));
  EXPECT_EQ(h.description, "COEF");
  h.description = "?";
  ASSERT_TRUE(CompleteHeaderRecord(h));
  EXPECT_EQ(h.description, " ");
  h.description = std::string(90, 'd');
  ASSERT_TRUE(CompleteHeaderRecord(h));
  EXPECT_EQ(h.description.size(), 70u);
}

TEST(ReadHeaderFromHarFile, FindsOneHeaderOrNone) {
  ScratchDir dir;
  std::string p = dir / "one.har";
  HarFile f = Sample();
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  auto h = ReadHeaderFromHarFile(p, "lab1");
  ASSERT_TRUE(h) << h.error();
  ASSERT_TRUE(h->has_value());
  EXPECT_EQ((*h)->sets.StName[0], "COM");
  auto none = ReadHeaderFromHarFile(p, "NOPE");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->has_value());
  auto missing = ReadHeaderFromHarFile(dir / "missing.har", "DTXT");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "No such file:" + (dir / "missing.har") +
                                 " [IsWhichLaheyFile] [OpenLaheyFile] "
                                 "[ReadHeaderFromHarFile:DTXT]");
}

// --- Files the writer would not produce --------------------------------------------------

TEST(ReadHarFile, TwoDimensionalRealsBecomeRealArrays) {
  ScratchDir dir;
  std::string p = dir / "2r.har";
  {
    Crafter c(p, false);
    c.Name("TWOR");
    c.Desc("2R", "FULL", "two-d reals", {2, 1, 6});
    float v[6] = {1, 2, 3, 4, 5, 6};
    c.Ints({1, 1, 6, 1, 1, 1, 6}, v, 6);
    c.Name("RLRL");
    c.Desc("RL", "FULL", "", {7, 2, 2, 1, 1, 1, 1, 1});
    c.Ints({5, 7, 2, 2, 1, 1, 1, 1, 1});
    float a[2] = {1, 2};
    float b[2] = {3, 4};
    // Two blocks, given in reverse order: the reader takes any ranges.
    c.Ints({4, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    c.Ints({3}, b, 2);
    c.Ints({2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    c.Ints({1}, a, 2);
  }
  auto f = ReadHarFile(p);
  ASSERT_TRUE(f) << f.error();
  const HarHeader* r = f->Find("TWOR");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->type, "RE");
  EXPECT_EQ(r->NDim, 1);
  EXPECT_EQ(r->sizes[0], 6);
  EXPECT_EQ(r->values[5], 6.0f);
  EXPECT_FALSE(r->sets.stknow);
  const HarHeader* rl = f->Find("RLRL");
  ASSERT_TRUE(rl);
  EXPECT_EQ(rl->type, "RE");
  EXPECT_EQ(rl->description, "");
  EXPECT_EQ(std::vector<float>(rl->values.values().begin(), rl->values.values().end()),
            (std::vector<float>{1, 2, 3, 4}));
  EXPECT_FALSE(f->XXCD->strings.empty());  // completion supplies the missing XX headers
}

TEST(ReadHarFile, InventedSetNameIsDroppedAndRestoredOnWriting) {
  ScratchDir dir;
  std::string p = dir / "u.har";
  HarFile f = NewFile();
  HarHeader h = Real("UNK", {12, 1, 1, 1, 1, 1, 1}, 1);
  ASSERT_TRUE(SetDimensionSet(h, 0, "UNK12", {}));
  ASSERT_TRUE(AddHeaderNil(f, h));
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  auto back = ReadHarFile(p);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Find("UNK")->sets.StName[0], "");
  std::string q = dir / "u2.har";
  ASSERT_TRUE(WriteHarFile(q, "t", "t", *back));
  std::string setinfo = HeaderRecords(q, "UNK ")[2];
  EXPECT_NE(setinfo.find("Unk12       "), std::string::npos);
}

TEST(ReadHarFile, BadDetailsAreSkippedOnlyWhenAsked) {
  ScratchDir dir;
  std::string p = dir / "bad.har";
  {
    Crafter c(p, true);
    c.Name("GOOD");
    c.Desc("1C", "FULL", "", {2, 1, 3});
    c.Ints({1, 1, 1}, "abc", 1, 3);
    c.Name("BAD ");
    c.Desc("ZZ", "FULL", "", {2, 1, 3});
    c.Name("LAST");
    c.Desc("1C", "FULL", "", {2, 1, 2});
    c.Ints({1, 1, 1}, "xy", 1, 2);
  }
  auto strict = ReadHarFile(p);
  ASSERT_FALSE(strict);
  EXPECT_EQ(strict.error(),
            "Bad details at header \"BAD\"\r\nUnrecognized Data Type ZZ [GetIntsExpected] "
            "[GetDesc] [ReadMoreIntoHarFile] [ReadHarFile]");
  bool bad = false;
  auto lax = ReadHarFile(p, HarReadOptions{true}, &bad);
  ASSERT_TRUE(lax) << lax.error();
  EXPECT_TRUE(bad);
  EXPECT_EQ(lax->headers.size(), 2u);
  EXPECT_EQ(lax->Find("LAST")->strings, std::vector<std::string>{"xy"});
}

struct HostileCase {
  const char* what;
  std::function<void(Crafter&)> write;
  std::string error;
};

TEST(ReadHarFile, HostileFilesGiveClearErrors) {
  std::vector<HostileCase> cases = {
      {"too many strings",
       [](Crafter& c) {
         c.Name("STRS");
         c.Desc("1C", "FULL", "", {2, 800001, 10});
       },
       "Cannot read 800001 strings length 10 (total size 8000010) since buffer size MaxHarBuf "
       "is set to just 8000000 [GetHarStrings] [Get1CData] [ReadHeaderData:STRS] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"huge array",
       [](Crafter& c) {
         c.Name("HUGE");
         c.Desc("RL", "FULL", "", {7, 30000, 30000, 1, 1, 1, 1, 1});
       },
       "At header HUGE\r\nArray size (30000*30000) too large: max is 268435455 elements "
       "[GetHeaderDetails] [ReadMoreIntoHarFile] [ReadHarFile]"},
      {"negative dimension",
       [](Crafter& c) {
         c.Name("NEG ");
         c.Desc("RL", "FULL", "", {7, 3, -2, 1, 1, 1, 1, 1});
       },
       "At header NEG \r\nDimension negative(-2) [GetHeaderDetails] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"array larger than the file",
       [](Crafter& c) {
         c.Name("BIG ");
         c.Desc("RL", "FULL", "", {7, 10000, 10000, 1, 1, 1, 1, 1});
       },
       "Unexpected end-of-file [FileRead] [GetRLData] [ReadHeaderData:BIG] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"wrong value count",
       [](Crafter& c) {
         c.Name("WRNG");
         c.Desc("RL", "FULL", "", {7, 3, 1, 1, 1, 1, 1, 1});
         c.Ints({3, 7, 3, 1, 1, 1, 1, 1, 1});
         c.Ints({2, 1, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
         float v[2] = {1, 2};
         c.Ints({1}, v, 2);
       },
       "RL record wrong length [GetRLData] [ReadHeaderData:WRNG] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"ranges outside the array",
       [](Crafter& c) {
         c.Name("RNG ");
         c.Desc("RL", "FULL", "", {7, 3, 1, 1, 1, 1, 1, 1});
         c.Ints({3, 7, 3, 1, 1, 1, 1, 1, 1});
         c.Ints({2, 3, 5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
         float v[3] = {1, 2, 3};
         c.Ints({1}, v, 3);
       },
       "RL record wrong length [GetRLData] [ReadHeaderData:RNG] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"sparse sizes",
       [](Crafter& c) {
         c.Name("SPS ");
         c.Desc("RE", "SPSE", "", {7, 3, 1, 1, 1, 1, 1, 1});
         std::string info(4 * 3 + 12 + 4 + 12 + 1 + 4 + 4, '\0');
         info[8] = 1;     // acdim 1; SetsToRead, NEltrd and the rest zero
         info[40] = 'u';  // the status of the one dimension
         c.Raw("    " + info);
         c.Ints({1, 8, 4});
       },
       "Expected 4 byte integer and reals: found 8  4 [GetRLSparseData] [ReadHeaderData:SPS] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"sparse count",
       [](Crafter& c) {
         c.Name("SPC ");
         c.Desc("RL", "SPSE", "", {7, 30, 1, 1, 1, 1, 1, 1});
         c.Ints({2, 4, 4});
         std::int32_t e[3] = {1, 2, 5};
         c.Ints({1, 2, 2}, e, 3);
       },
       "Nhere(2) <>(Extra(3) div 2) at KREC=1 [GetRLSparseData] [ReadHeaderData:SPC] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"sparse total",
       [](Crafter& c) {
         c.Name("SPT ");
         c.Desc("RL", "SPSE", "", {7, 30, 1, 1, 1, 1, 1, 1});
         c.Ints({2, 4, 4});
         std::int32_t e[2] = {1, 0};
         c.Ints({1, 1, 1}, e, 2);
       },
       "TOTAL <> NNZ [GetRLSparseData] [ReadHeaderData:SPT] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"sparse short",
       [](Crafter& c) {
         c.Name("SPN ");
         c.Desc("RL", "SPSE", "", {7, 30, 1, 1, 1, 1, 1, 1});
         c.Ints({2, 4, 4});
         std::int32_t e[2] = {1, 0};
         c.Ints({1, 2, 1}, e, 2);
       },
       "NRead(1) <> NNZ(2) [GetRLSparseData] [ReadHeaderData:SPN] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"sparse position",
       [](Crafter& c) {
         c.Name("SPP ");
         c.Desc("RL", "SPSE", "", {7, 30, 1, 1, 1, 1, 1, 1});
         c.Ints({1, 4, 4});
         std::int32_t e[2] = {31, 0};
         c.Ints({1, 1, 1}, e, 2);
       },
       "Sparse position 31 out of range [GetRLSparseData] [ReadHeaderData:SPP] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"strings total",
       [](Crafter& c) {
         c.Name("STR ");
         c.Desc("1C", "FULL", "", {2, 2, 3});
         c.Ints({1, 3, 2}, "abcdef", 2, 3);
       },
       "Unexpected number of strings in record [GetHarStrings] [Get1CData] "
       "[ReadHeaderData:STR] [ReadMoreIntoHarFile] [ReadHarFile]"},
      {"strings count",
       [](Crafter& c) {
         c.Name("STR ");
         c.Desc("1C", "FULL", "", {2, 2, 3});
         c.Ints({1, 2, 1}, "abcdef", 2, 3);
       },
       "1C record wrong length [GetHarStrings] [Get1CData] [ReadHeaderData:STR] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"too few strings",
       [](Crafter& c) {
         c.Name("STR ");
         c.Desc("1C", "FULL", "", {2, 2, 3});
         c.Ints({1, 2, 1}, "abc", 1, 3);
       },
       "Too few strings in 1C record [GetHarStrings] [Get1CData] [ReadHeaderData:STR] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"2I block",
       [](Crafter& c) {
         c.Name("INT ");
         c.Desc("2I", "FULL", "", {2, 2, 2});
         std::int32_t v[3] = {1, 2, 3};
         c.Ints({1, 2, 2, 1, 2, 1, 2}, v, 3);
       },
       "2I record wrong length [Get2IData] [ReadHeaderData:INT] [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"description length",
       [](Crafter& c) {
         c.Name("DSC ");
         c.Desc("1C", "FULL", "", {2, 1});
       },
       "Bad details at header \"DSC\"\r\nDescription Record wrong length [GetDesc] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"storage",
       [](Crafter& c) {
         c.Name("STO ");
         c.Desc("2I", "SPSE", "", {2, 1, 1});
       },
       "Bad details at header \"STO\"\r\nUnrecognized Storage Method: SPSE [GetIntsExpected] "
       "[GetDesc] [ReadMoreIntoHarFile] [ReadHarFile]"},
      {"name at the end", [](Crafter& c) { c.Name("END "); },
       "Bad details at header \"END\"\r\nunexpected end of file [ReadMoreIntoHarFile] "
       "[ReadHarFile]"},
      {"set status",
       [](Crafter& c) {
         c.Name("SET ");
         c.Desc("RE", "FULL", "", {7, 2, 1, 1, 1, 1, 1, 1});
         std::string info;
         auto put = [&](std::int32_t v) { info.append(reinterpret_cast<char*>(&v), 4); };
         put(0);
         put(-1);
         put(1);
         info += std::string(12, ' ');
         put(-1);
         info += "COM         ";
         info += "z";
         put(0);
         put(0);
         c.Raw("    " + info);
       },
       "At header SET \r\nRDelst not k, e, u or n [GetOrgREData] [GetHeaderDetails] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
      {"sets to read",
       [](Crafter& c) {
         c.Name("SET ");
         c.Desc("RE", "FULL", "", {7, 2, 1, 1, 1, 1, 1, 1});
         std::string info;
         auto put = [&](std::int32_t v) { info.append(reinterpret_cast<char*>(&v), 4); };
         put(1);
         put(-1);
         put(1);
         info += std::string(12, ' ');
         put(-1);
         info += "COM         ";
         info += "u";
         put(0);
         put(0);
         c.Raw("    " + info);
       },
       "At header SET \r\nSetsToRead mismatch [GetOrgREData] [GetHeaderDetails] "
       "[ReadMoreIntoHarFile] [ReadHarFile]"},
  };
  ScratchDir dir;
  for (const HostileCase& hc : cases) {
    std::string p = dir / "h.har";
    {
      Crafter c(p, true);
      hc.write(c);
    }
    auto f = ReadHarFile(p);
    ASSERT_FALSE(f) << hc.what;
    EXPECT_EQ(f.error(), hc.error) << hc.what;
  }
}

TEST(ReadHarFile, EveryTruncationFailsCleanly) {
  ScratchDir dir;
  std::string p = dir / "full.har";
  HarFile f = Sample();
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f, HarWriteOptions{true}));
  std::string bytes = ReadFileBytes(p);
  int read_ok = 0;
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    std::string q = dir.Write("cut.har", bytes.substr(0, n));
    auto r = ReadHarFile(q);
    if (r) {
      ++read_ok;
      EXPECT_LT(r->headers.size(), f.headers.size());  // cut between headers
    } else {
      EXPECT_FALSE(r.error().empty());
    }
  }
  EXPECT_LE(read_ok, 8);
}

}  // namespace
}  // namespace yl
