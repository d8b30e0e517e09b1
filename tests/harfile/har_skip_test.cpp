// Listing headers and reading some of them without reading the others' data.

#include <gtest/gtest.h>

#include <functional>

#include "har_test_util.h"
#include "harfile/har_file.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::Crafter;
using testing::ReadFileBytes;
using testing::ScratchDir;

HarHeader Filled(const std::string& name, std::array<std::int32_t, 7> sizes, int ndim,
                 int nonzero_every) {
  auto h = CreateUnLabelledRE(name, "about " + name, ndim, sizes, true);
  EXPECT_TRUE(h) << h.error();
  for (std::int64_t i = 0; i < h->element_count; i += nonzero_every) {
    h->values[i] = float(i % 97) + 0.5f;
  }
  return std::move(*h);
}

// Several records per header: a full array cut into many blocks, a sparse one of two
// records, 2-D integers over several records, strings and a small array last.
HarFile SkipSample(bool fujitsu) {
  auto f = NewHarFile("tests", "noon", false);
  EXPECT_TRUE(f);
  EXPECT_TRUE(AddHeaderNil(*f, Filled("BIGF", {120, 150, 3, 1, 1, 1, 1}, 3, 1)));
  EXPECT_TRUE(AddHeaderNil(*f, Filled("SPRS", {200, 200, 1, 1, 1, 1, 1}, 2, 13)));
  HarHeader ints = *Create2I("INTS", "Integers", 4000, 5);
  for (std::size_t i = 0; i < ints.ints.size(); ++i) ints.ints[i] = std::int32_t(i);
  EXPECT_TRUE(AddHeaderNil(*f, ints));
  EXPECT_TRUE(AddHeaderNil(*f, *Create1C("STRS", "Some strings", {"alpha", "beta"}, 8)));
  EXPECT_TRUE(AddHeaderNil(*f, Filled("EMPT", {4, 0, 1, 1, 1, 1, 1}, 2, 1)));
  EXPECT_TRUE(AddHeaderNil(*f, Filled("LAST", {7, 1, 1, 1, 1, 1, 1}, 1, 1)));
  f->fujitsu = fujitsu;
  return std::move(*f);
}

void ExpectSameHeader(const HarHeader& a, const HarHeader& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.type, b.type);
  EXPECT_EQ(a.sizes, b.sizes);
  EXPECT_EQ(a.strings, b.strings);
  EXPECT_EQ(a.ints, b.ints);
  ASSERT_EQ(a.values.size(), b.values.size()) << a.name;
  for (std::int64_t i = 0; i < a.values.size(); ++i) ASSERT_EQ(a.values[i], b.values[i]) << i;
}

class SkipFraming : public ::testing::TestWithParam<bool> {};

TEST_P(SkipFraming, ListAndSingleReadsAgreeWithTheFullRead) {
  ScratchDir dir;
  std::string p = dir / "s.har";
  HarFile f = SkipSample(GetParam());
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f, HarWriteOptions{true}));
  auto all = ReadHarFile(p);
  ASSERT_TRUE(all) << all.error();
  ASSERT_EQ(all->Find("SPRS")->storage, "SPSE");  // the sparse path is covered

  auto list = ListHarHeaders(p);
  ASSERT_TRUE(list) << list.error();
  std::vector<std::string> names;
  for (const HarHeaderInfo& i : *list) names.push_back(i.header.name);
  EXPECT_EQ(names, (std::vector<std::string>{"XXCD", "XXCR", "XXHS", "BIGF", "SPRS", "INTS", "STRS",
                                             "EMPT", "LAST"}));
  for (const HarHeaderInfo& i : *list) {
    const HarHeader* full = all->Find(i.header.name);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(i.header.type, full->type);
    EXPECT_EQ(i.header.storage, full->storage);
    EXPECT_EQ(i.header.description, full->description);
    EXPECT_EQ(i.header.size_text, full->size_text);
    EXPECT_EQ(i.header.element_count, full->element_count);
    EXPECT_FALSE(i.header.values.allocated());
  }
  EXPECT_EQ((*list)[6].string_count, 2);

  for (const char* name : {"last", "STRS", "EMPT", "INTS", "SPRS", "BIGF"}) {
    auto one = ReadHeaderFromHarFile(p, name);
    ASSERT_TRUE(one) << one.error();
    ASSERT_TRUE(one->has_value()) << name;
    ExpectSameHeader(**one, *all->Find(name));
  }
  auto some = ReadHeadersFromHarFile(p, {"LAST", "xxcd", "INTS", "NONE"});
  ASSERT_TRUE(some) << some.error();
  EXPECT_EQ(some->fujitsu, GetParam());
  ASSERT_EQ(some->headers.size(), 2u);
  EXPECT_EQ(some->headers[0].name, "INTS");
  EXPECT_EQ(some->headers[1].name, "LAST");
  ASSERT_TRUE(some->XXCD);
  EXPECT_FALSE(some->XXCR);
  ExpectSameHeader(some->headers[1], *all->Find("LAST"));

  auto none = ReadHeaderFromHarFile(p, "NONE");
  ASSERT_TRUE(none) << none.error();
  EXPECT_FALSE(none->has_value());
}

// Records split otherwise than the writer splits them cannot be passed in one step;
// they are passed one by one, and so is a header whose details do not read.
TEST_P(SkipFraming, OtherLayoutsArePassedRecordByRecord) {
  ScratchDir dir;
  std::string p = dir / "odd.har";
  {
    Crafter c(p, GetParam());
    c.Name("ODD1");
    c.Desc("RL", "FULL", "two odd blocks", {7, 5, 1, 1, 1, 1, 1, 1});
    c.Ints({5, 7, 5, 1, 1, 1, 1, 1, 1});
    float v[5] = {1, 2, 3, 4, 5};
    c.Ints({4, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    c.Ints({3}, v, 2);
    c.Ints({2, 3, 5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    c.Ints({1}, v + 2, 3);
    c.Name("BAD1");
    c.Desc("ZZ", "FULL", "an unknown type", {2, 1, 1});
    c.Raw(std::string(40, 'x'));
    c.Name("TAIL");
    c.Desc("1C", "FULL", "strings", {2, 1, 4});
    std::string s = "abcd";
    c.Ints({1, 1, 1}, s.data(), 1, 4);
  }
  auto tail = ReadHeaderFromHarFile(p, "TAIL");
  ASSERT_TRUE(tail) << tail.error();
  ASSERT_TRUE(tail->has_value());
  EXPECT_EQ((*tail)->strings, std::vector<std::string>{"abcd"});
  auto odd = ReadHeadersFromHarFile(p, {"ODD1", "TAIL"});
  ASSERT_TRUE(odd) << odd.error();
  ASSERT_EQ(odd->headers.size(), 2u);
  EXPECT_EQ(odd->headers[0].values[4], 5.0f);
  // Listing reads every description, so the bad one is reported, as a full read does.
  auto list = ListHarHeaders(p);
  ASSERT_FALSE(list);
  EXPECT_NE(list.error().find("Unrecognized Data Type ZZ"), std::string::npos) << list.error();
  EXPECT_NE(list.error().find("[ListHarHeaders]"), std::string::npos) << list.error();
}

// Cut anywhere, the file never yields a wrong header: the wanted one either reads whole
// and equal to the original, or is missing, or the read fails with a reason.
TEST_P(SkipFraming, EveryTruncationFailsCleanlyOrFindsLess) {
  ScratchDir dir;
  std::string p = dir / "t.har";
  auto f = NewHarFile("tests", "noon", false);
  ASSERT_TRUE(f);
  ASSERT_TRUE(AddHeaderNil(*f, Filled("BIGF", {30, 300, 1, 1, 1, 1, 1}, 2, 1)));
  ASSERT_TRUE(AddHeaderNil(*f, Filled("SPRS", {100, 100, 1, 1, 1, 1, 1}, 2, 9)));
  ASSERT_TRUE(AddHeaderNil(*f, Filled("LAST", {3, 1, 1, 1, 1, 1, 1}, 1, 1)));
  f->fujitsu = GetParam();
  ASSERT_TRUE(WriteHarFile(p, "t", "t", *f, HarWriteOptions{true}));
  auto whole = ReadHeaderFromHarFile(p, "LAST");
  ASSERT_TRUE(whole && whole->has_value());
  std::string bytes = ReadFileBytes(p);
  int found = 0;
  // Every cut near the end, where the last header lies, and a stride through the rest.
  for (std::size_t n = 0; n < bytes.size(); n += (n + 300 < bytes.size() ? 37 : 1)) {
    std::string q = dir.Write("cut.har", bytes.substr(0, n));
    auto one = ReadHeaderFromHarFile(q, "LAST");
    if (one && one->has_value()) {
      ++found;
      ExpectSameHeader(**one, **whole);
    } else if (!one) {
      EXPECT_FALSE(one.error().empty());
    }
    auto list = ListHarHeaders(q);
    if (list) {
      EXPECT_LE(list->size(), 6u);
    }
  }
  EXPECT_EQ(found, 0);
}

// The data of a passed-over header is not read at all: damage inside it goes unseen by
// a single-header read, while the full read reports it.
TEST_P(SkipFraming, PassedDataIsNotRead) {
  ScratchDir dir;
  std::string p = dir / "d.har";
  HarFile f = SkipSample(GetParam());
  ASSERT_TRUE(WriteHarFile(p, "t", "t", f));
  std::string bytes = ReadFileBytes(p);
  // BIGF (120 x 150 x 3) goes in runs of 58 columns; its second block covers 59..116.
  std::int32_t ranges[6] = {1, 120, 59, 116, 1, 1};
  std::size_t at = bytes.find(std::string(reinterpret_cast<const char*>(ranges), sizeof ranges));
  ASSERT_NE(at, std::string::npos);
  bytes[at + 12] = 115;
  dir.Write("d.har", bytes);
  auto all = ReadHarFile(p);
  ASSERT_FALSE(all);
  EXPECT_NE(all.error().find("RL record wrong length"), std::string::npos) << all.error();
  auto last = ReadHeaderFromHarFile(p, "LAST");
  ASSERT_TRUE(last) << last.error();
  ASSERT_TRUE(last->has_value());
  EXPECT_EQ((*last)->values[6], float(6 % 97) + 0.5f);
}

INSTANTIATE_TEST_SUITE_P(Framings, SkipFraming, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Fujitsu" : "Lahey"; });

// Lengths that lie, sizes past the caps: clear errors or a clean pass, never a crash or
// a large allocation.
TEST(ReadHeaderFromHarFile, HostileHeadersBeforeTheWantedOne) {
  ScratchDir dir;
  struct Case {
    const char* what;
    std::function<void(Crafter&)> before;
  };
  std::vector<Case> cases = {
      {"strings past the cap",
       [](Crafter& c) {
         c.Desc("1C", "FULL", "huge", {2, 2'000'000, 100});
       }},
      {"sparse head with a wild count",
       [](Crafter& c) {
         c.Desc("RL", "SPSE", "wild", {7, 10, 10, 1, 1, 1, 1, 1});
         c.Ints({2'000'000'000, 4, 4});
       }},
      {"array past the size cap",
       [](Crafter& c) {
         c.Desc("RL", "FULL", "big", {7, 30000, 30000, 1, 1, 1, 1, 1});
       }},
      {"negative 1C string count",
       [](Crafter& c) {
         c.Desc("1C", "FULL", "neg", {2, -5, 8});
       }},
  };
  for (const Case& k : cases) {
    std::string p = dir / "h.har";
    {
      Crafter c(p, false);
      c.Name("EVIL");
      k.before(c);
      c.Name("GOOD");
      c.Desc("1C", "FULL", "ok", {2, 1, 4});
      std::string s = "good";
      c.Ints({1, 1, 1}, s.data(), 1, 4);
    }
    auto h = ReadHeaderFromHarFile(p, "GOOD");
    ASSERT_TRUE(h) << k.what << ": " << h.error();
    ASSERT_TRUE(h->has_value()) << k.what;
    EXPECT_EQ((*h)->strings, std::vector<std::string>{"good"}) << k.what;
  }
  // A record that claims more bytes than the file holds, after enough whole records for
  // the framing to be recognised.
  std::string p = dir / "lie.har";
  std::string bytes = "\xFD";
  for (const char* n : {"AAAA", "BBBB", "CCCC", "DDDD", "EVIL"}) {
    bytes += LaheyPrefix(4) + n + LaheyTrailer(4);
  }
  bytes += LaheyPrefix(7'000'000) + std::string(100, ' ');
  dir.Write("lie.har", bytes);
  auto h = ReadHeaderFromHarFile(p, "GOOD");
  ASSERT_FALSE(h);
  EXPECT_EQ(h.error(),
            "Unexpected end-of-file [FileRead] [SkipHead] [GetHead] [ReadHeaderFromHarFile:GOOD]");
  auto list = ListHarHeaders(p);
  ASSERT_FALSE(list);
}

}  // namespace
}  // namespace yl
