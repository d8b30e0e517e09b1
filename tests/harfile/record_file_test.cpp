#include "harfile/record_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += static_cast<char>(x);
  return s;
}

std::string Fuji(const std::string& payload) {
  std::int32_t n = static_cast<std::int32_t>(payload.size());
  std::string l(reinterpret_cast<const char*>(&n), 4);
  return l + payload + l;
}

std::string Lahey(const std::string& payload) {
  std::int32_t n = static_cast<std::int32_t>(payload.size());
  return LaheyPrefix(n) + payload + LaheyTrailer(n);
}

struct Boundary {
  std::int32_t length;
  std::size_t prefix;
  std::size_t trailer;
};

class LaheyBoundaries : public ::testing::TestWithParam<Boundary> {};

TEST_P(LaheyBoundaries, PrefixAndTrailerSizes) {
  Boundary b = GetParam();
  EXPECT_EQ(LaheyPrefix(b.length).size(), b.prefix);
  EXPECT_EQ(LaheyTrailer(b.length).size(), b.trailer);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LaheyBoundaries,
                         ::testing::Values(Boundary{0, 1, 1}, Boundary{4, 1, 1},
                                           Boundary{62, 1, 1},  // T = 63
                                           Boundary{63, 1, 2},  // T = 64
                                           Boundary{64, 2, 2}, Boundary{16381, 2, 2},
                                           Boundary{16382, 2, 3},  // T = 16384
                                           Boundary{16383, 2, 3}, Boundary{16384, 3, 3},
                                           Boundary{4194303, 3, 4}, Boundary{4194304, 4, 4}));

TEST(LaheyEncoding, ExactBytes) {
  EXPECT_EQ(LaheyPrefix(63), Bytes({0xFC}));
  EXPECT_EQ(LaheyTrailer(63), Bytes({0x01, 0x01}));  // T = 64: extra byte 1 first, then 0*4+1
  EXPECT_EQ(LaheyPrefix(64), Bytes({0x01, 0x01}));
  EXPECT_EQ(LaheyPrefix(16384), Bytes({0x02, 0x00, 0x01}));
  EXPECT_EQ(LaheyPrefix(4194304), Bytes({0x03, 0x00, 0x00, 0x01}));
  EXPECT_EQ(LaheyTrailer(4194304), Bytes({0x01, 0x00, 0x00, 0x13}));  // T = 4194308
}

TEST(RecordFile, HeaderNameRecordIsSixBytesInLahey) {
  ScratchDir dir;
  std::string p = dir / "a.har";
  {
    auto f = CreateLaheyFile(p, false);
    ASSERT_TRUE(f) << f.error();
    ASSERT_TRUE(WriteLaheyRec(*f, "ABCD", 4));
    ASSERT_TRUE(f->Close());
  }
  EXPECT_EQ(ReadFileBytes(p), Bytes({0xFD, 0x10, 'A', 'B', 'C', 'D', 0x14}));
}

TEST(RecordFile, FujitsuRecordHasLengthBeforeAndAfter) {
  ScratchDir dir;
  std::string p = dir / "f.har";
  {
    auto f = CreateLaheyFile(p, true);
    ASSERT_TRUE(f);
    ASSERT_TRUE(WriteLaheyRec(*f, "ABCD", 4));
    std::int32_t fixed = 7;
    std::int16_t elems[2] = {1, 2};
    ASSERT_TRUE(WriteRecBuf(*f, &fixed, 4, elems, 2, 2));
    ASSERT_TRUE(f->Close());
  }
  std::string rec2 = Fuji(std::string("    ") + Bytes({7, 0, 0, 0, 1, 0, 2, 0}));
  EXPECT_EQ(ReadFileBytes(p), Fuji("ABCD") + rec2);
}

class RecordRoundTrip : public ::testing::TestWithParam<std::tuple<bool, std::int32_t>> {};

TEST_P(RecordRoundTrip, WritesAndReadsBack) {
  auto [fujitsu, length] = GetParam();
  ScratchDir dir;
  std::string p = dir / "r.bin";
  std::string payload(static_cast<std::size_t>(length), '\0');
  for (std::int32_t i = 0; i < length; ++i) payload[i] = static_cast<char>(i * 7 + 3);
  {
    auto f = CreateLaheyFile(p, fujitsu);
    ASSERT_TRUE(f);
    ASSERT_TRUE(WriteLaheyRec(*f, "HEAD", 4));
    ASSERT_TRUE(WriteLaheyRec(*f, payload.data(), length));
    ASSERT_TRUE(f->Close());
  }
  auto f = OpenLaheyFile(p);
  ASSERT_TRUE(f) << f.error();
  EXPECT_EQ(f->Fujitsu(), fujitsu);
  auto h = GetHead(*f);
  ASSERT_TRUE(h);
  EXPECT_TRUE(h->found);
  EXPECT_EQ(h->name, "HEAD");
  auto rec = GetLaheyRec(*f);
  ASSERT_TRUE(rec) << rec.error();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec->data()), rec->size()), payload);
  EXPECT_TRUE(f->AtEnd());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, RecordRoundTrip,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(0, 63, 64, 16383, 16384, 4194303,
                                                              4194304, MaxHarBuf)));

TEST(RecordFile, RecordOneByteOverTheLimitIsRefused) {
  ScratchDir dir;
  for (bool fujitsu : {false, true}) {
    std::string p = dir / (fujitsu ? "f.bin" : "l.bin");
    std::string big(MaxHarBuf + 1, 'x');
    {
      auto f = CreateLaheyFile(p, fujitsu);
      ASSERT_TRUE(WriteLaheyRec(*f, "HEAD", 4));
      // Detection reads five records; the long one comes after them.
      for (int i = 0; i < 4; ++i) ASSERT_TRUE(WriteLaheyRec(*f, "small", 5));
      ASSERT_TRUE(WriteLaheyRec(*f, big.data(), MaxHarBuf + 1));
      ASSERT_TRUE(f->Close());
    }
    auto f = OpenLaheyFile(p);
    ASSERT_TRUE(f);
    ASSERT_TRUE(GetHead(*f));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(GetLaheyRec(*f));
    auto rec = GetRecBuf(*f, 0, 1);
    ASSERT_FALSE(rec);
    EXPECT_EQ(rec.error(), "File record too long [GetLaheyRec] [GetRecBuf]");
  }
}

struct DetectCase {
  const char* what;
  std::string bytes;
  bool ok;
  bool fujitsu;
  std::string error;  // with "{p}" for the path
};

std::string Replace(std::string s, const std::string& path) {
  auto at = s.find("{p}");
  if (at != std::string::npos) s.replace(at, 3, path);
  return s;
}

TEST(IsWhichLaheyFile, DetectsVariantsAndExplainsFailures) {
  std::int32_t minus = -1;
  std::string neg(reinterpret_cast<const char*>(&minus), 4);
  std::string mark = Bytes({0xFD});
  std::vector<DetectCase> cases = {
      {"lahey, two records", mark + Lahey("ABCD") + Lahey("xyz12"), true, false, ""},
      {"lahey, six records",
       mark + Lahey("ABCD") + Lahey("1") + Lahey("2") + Lahey("3") + Lahey("4") +
           "garbage after the fifth",
       true, false, ""},
      {"fujitsu", Fuji("ABCD") + Fuji("hello"), true, true, ""},
      // 0xFD followed by bytes that do not frame as Lahey records, but do as Fujitsu.
      {"mark but fujitsu", Fuji(Bytes({0xFD, 'B', 'C', 'D'})), true, true, ""},
      {"fujitsu first record not 4", Fuji("ABCDE"), false, false,
       "First record not length 4 [IsWhichLaheyFile]"},
      {"fujitsu negative length", neg + "ABCD", false, false,
       "RecLen<0 [FujiGetRecLen] [IsWhichLaheyFile]"},
      {"fujitsu bad trailer", std::string("\4\0\0\0ABCD\5\0\0\0", 12), false, false,
       "Bad RecLenCheck value [FujiChkRecLen] [IsWhichLaheyFile]"},
      {"truncated", Fuji("ABCD") + std::string("\10\0\0\0abc", 7), false, false,
       "Unexpected end-of-file [FileRead] [IsWhichLaheyFile]"},
      {"empty", "", false, false, "Empty file:{p} [IsWhichLaheyFile]"},
  };
  ScratchDir dir;
  for (const DetectCase& c : cases) {
    std::string p = dir.Write("d.bin", c.bytes);
    auto r = IsWhichLaheyFile(p);
    EXPECT_EQ(r.has_value(), c.ok) << c.what;
    if (r && c.ok) {
      EXPECT_EQ(*r, c.fujitsu) << c.what;
    }
    if (!r) {
      EXPECT_EQ(r.error(), Replace(c.error, p)) << c.what;
    }
  }
  auto missing = IsWhichLaheyFile(dir / "none.bin");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "No such file:" + (dir / "none.bin") + " [IsWhichLaheyFile]");
  auto opened = OpenLaheyFile(dir / "none.bin");
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.error(),
            "No such file:" + (dir / "none.bin") + " [IsWhichLaheyFile] [OpenLaheyFile]");
}

TEST(RecordFile, LaheyTrailerMismatches) {
  ScratchDir dir;
  // Prefix 0x10 (L = 4, T = 5); trailer must be 0x14.
  std::string good = Bytes({0xFD, 0x10, 'A', 'B', 'C', 'D', 0x14});
  std::string p = dir.Write("t.bin", good + Bytes({0x10, 'E', 'F', 'G', 'H', 0x18}));
  auto f = OpenLaheyFile(p);
  // The second record's trailer is wrong, but the first frames; detection gives up on
  // Lahey and Fujitsu fails too.
  ASSERT_FALSE(f);
  auto raw = RecordFile::OpenForRead(p);
  ASSERT_TRUE(raw);
  unsigned char mark;
  ASSERT_TRUE(FileRead(*raw, &mark, 1));
  auto one = GetLaheyRec(*raw);
  ASSERT_TRUE(one);
  auto two = GetLaheyRec(*raw);
  ASSERT_FALSE(two);
  EXPECT_EQ(two.error(), "Bad RecLenCheck value [ChkRecLen] [GetLaheyRec]");

  std::string p2 = dir.Write("n.bin", Bytes({0xFD, 0x10, 'A', 'B', 'C', 'D', 0x15}));
  auto raw2 = RecordFile::OpenForRead(p2);
  ASSERT_TRUE(FileRead(*raw2, &mark, 1));
  auto bad = GetLaheyRec(*raw2);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(), "Bad NExtraCheck value [ChkRecLen] [GetLaheyRec]");
}

TEST(RecordFile, TruncatedPrefixGivesTheWholeRoutinePath) {
  ScratchDir dir;
  std::string p = dir.Write("x.bin", Bytes({0xFD, 0x10, 'A', 'B', 'C', 'D', 0x14, 0x01}));
  auto raw = RecordFile::OpenForRead(p);
  unsigned char mark;
  ASSERT_TRUE(FileRead(*raw, &mark, 1));
  ASSERT_TRUE(GetLaheyRec(*raw));
  auto r = GetRecBuf(*raw, 0, 1);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Unexpected end-of-file [FileRead] [GetRecLen] [GetLaheyRec] [GetRecBuf]");
}

TEST(RecordFile, GetRecBufShapesAndErrors) {
  ScratchDir dir;
  std::string p = dir / "g.bin";
  {
    auto f = CreateLaheyFile(p, false);
    ASSERT_TRUE(WriteLaheyRec(*f, "HEAD", 4));
    std::int32_t fixed[2] = {11, 22};
    std::int32_t elems[3] = {1, 2, 3};
    ASSERT_TRUE(WriteRecBuf(*f, fixed, 8, elems, 3, 4));
    ASSERT_TRUE(WriteRecBuf(*f, fixed, 8, elems, 3, 4));
    ASSERT_TRUE(WriteRecBuf(*f, fixed, 8, elems, 3, 4));
    ASSERT_TRUE(WriteRecBuf(*f, fixed, 8, elems, 3, 4));
    ASSERT_TRUE(f->Close());
  }
  auto f = OpenLaheyFile(p);
  ASSERT_TRUE(f);
  ASSERT_TRUE(GetHead(*f));
  auto v = GetRecBuf(*f, 8, 4);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->count, 3);
  std::int32_t x;
  std::memcpy(&x, v->fixed.data() + 4, 4);
  EXPECT_EQ(x, 22);
  std::memcpy(&x, v->elements.data() + 8, 4);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(GetRecBuf(*f, 8, 0).error(), "sizelms=0 [GetRecBuf]");
  EXPECT_EQ(GetRecBuf(*f, 8, 5).error(), "Non-Unit Record Length [GetRecBuf]");
  EXPECT_EQ(GetRecBuf(*f, 40, 4).error(), "Record too Short 24/44 [GetRecBuf]");
}

TEST(RecordFile, SkipHeadPassesDataRecordsAndReportsTheEnd) {
  ScratchDir dir;
  for (bool fujitsu : {false, true}) {
    std::string p = dir / "s.bin";
    {
      auto f = CreateLaheyFile(p, fujitsu);
      ASSERT_TRUE(WriteLaheyRec(*f, "abcd", 4));
      std::string big(20000, 'z');
      ASSERT_TRUE(WriteLaheyRec(*f, big.data(), 20000));
      ASSERT_TRUE(WriteLaheyRec(*f, "efgh", 4));
      ASSERT_TRUE(f->Close());
    }
    auto f = OpenLaheyFile(p);
    ASSERT_TRUE(f);
    EXPECT_EQ(GetHead(*f)->name, "ABCD");
    EXPECT_EQ(GetHead(*f)->name, "EFGH");
    auto end = GetHead(*f);
    ASSERT_TRUE(end);
    EXPECT_FALSE(end->found);
    EXPECT_EQ(end->name, "    ");
  }
}

TEST(RecordFile, CreateInMissingDirectoryFails) {
  ScratchDir dir;
  std::string p = dir / "no/such/dir/x.har";
  auto f = CreateLaheyFile(p, false);
  ASSERT_FALSE(f);
  EXPECT_EQ(f.error(), "Can't create file: " + p + " [CreateLaheyFile]");
}

TEST(RecordFile, WriteFailureIsReported) {
  auto f = CreateLaheyFile("/dev/full", false);
  ASSERT_TRUE(f);
  std::string big(2 << 20, 'q');
  Status w = WriteLaheyRec(*f, big.data(), static_cast<std::int32_t>(big.size()));
  Status c = f->Close();
  EXPECT_TRUE(!w || !c);
  if (!w) {
    EXPECT_EQ(w.error(), "cannot write to disk (probably no space) [WriteLaheyRec]");
  } else {
    EXPECT_EQ(c.error(), "cannot write to disk (probably no space)");
  }
}

}  // namespace
}  // namespace yl
