#include "model/time_stamp.h"

#include <gtest/gtest.h>

#include "core/text_util.h"
#include "model_fixture.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(TimeStamp, CleanStamp) {
  EXPECT_EQ(CleanStamp("abc   "), "abc");
  EXPECT_EQ(CleanStamp("a\tb\r\x01  "), "ab");
  EXPECT_EQ(CleanStamp(std::string(50, 'x')), std::string(40, 'x'));
  EXPECT_EQ(CleanStamp("   "), "");
}

TEST(TimeStamp, DtxtHeaderShape) {
  std::string padded = std::string(testing::kDemoStamp) + std::string(16, ' ');
  ASSERT_EQ(padded.size(), 40u);
  EXPECT_EQ(StampFromDtxt("1C", 40, {padded}), testing::kDemoStamp);
  EXPECT_EQ(StampFromDtxt("1C", 39, {padded}), "");
  EXPECT_EQ(StampFromDtxt("2I", 40, {padded}), "");
  EXPECT_EQ(StampFromDtxt("1C", 40, {padded, padded}), "");
  EXPECT_EQ(StampFromDtxt("1C", 40, {}), "");
}

TEST(TimeStamp, TextStamps) {
  ScratchDir d;
  std::string p = d.Write("a.min", "x\n#TMDATE\nstamp one   \n#TMDATE\nstamp two\n");
  auto s = GetTimeDateStamp(p, "text", "#TMDATE");
  ASSERT_TRUE(s);
  EXPECT_EQ(*s, "stamp one");
  EXPECT_EQ(*GetTimeDateStamp(d.Write("b.min", "x\n#TMDATE\n"), "text", "#TMDATE"), "");
  EXPECT_EQ(*GetTimeDateStamp(d.Write("c.min", "x\n"), "text", "#TMDATE"), "");
  auto missing = GetTimeDateStamp(d / "none.min", "text", "#TMDATE");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(),
            "Cannot open file " + (d / "none.min") + "[TxtOpen][GetTimeDateStamp]");
  auto kind = GetTimeDateStamp(p, "spreadsheet", "#TMDATE");
  ASSERT_FALSE(kind);
  EXPECT_EQ(kind.error(), "Unexpected file type[GetTimeDateStamp]");
}

TEST(TimeStamp, MinAxtCompatibility) {
  ScratchDir d;
  std::string min = d.Write("m.min", std::string("#TMDATE\n") + testing::kDemoStamp + "   \n");
  std::string axt = d / "m.axt";
  struct Case {
    Result<std::string> aux;
    bool compatible;
  };
  const Case cases[] = {
      {std::string(testing::kDemoStamp), true},  // trailing blanks only differ
      {std::string("Fri Jan  5 10:11:12 2024"), false},
      {std::string(""), false},  // no DTXT header
  };
  for (const Case& c : cases) {
    auto r = MinAxtCompatible(min, axt, [&](const std::string&) { return c.aux; });
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, c.compatible);
  }
  Message m = MinAxtMismatchMessage(min, axt, 42);
  EXPECT_EQ(m.text, "Model Information File " + UpperCase(min) +
                        " was not created at the same time as the Auxiliary Table File " +
                        UpperCase(axt));
  EXPECT_EQ(m.kind, MessageKind::kError);
  EXPECT_EQ(m.buttons, kOk | kHelp);  // Help comes with a help topic
  EXPECT_EQ(m.help_topic, 42);
  // A file that cannot be read fails.
  auto r = MinAxtCompatible(min, axt, [](const std::string&) -> Result<std::string> {
    return Fail("Cannot open file x[ReadHeaderFromHarFile]");
  });
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Cannot open file x[ReadHeaderFromHarFile][MinAxtCompatible]");
  auto no_min = MinAxtCompatible(d / "none.min", axt,
                                 [](const std::string&) { return Result<std::string>("s"); });
  ASSERT_FALSE(no_min);
  EXPECT_NE(no_min.error().find("[GetTimeDateStamp][MinAxtCompatible]"), std::string::npos);
}

}  // namespace
}  // namespace yl

namespace yl {
namespace {

const std::string kDemoAxt = std::string(YL_TEST_DATA_DIR) + "/model/demo/demo.axt";
const std::string kDemoMinPath = std::string(YL_TEST_DATA_DIR) + "/model/demo/demo.min";

TEST(TimeStamp, HeaderArrayStamps) {
  for (const char* kind : {"binary", "header"}) {
    auto s = GetTimeDateStamp(kDemoAxt, kind, "DTXT");
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(*s, testing::kDemoStamp);
  }
  EXPECT_EQ(*ReadAuxTableStamp(kDemoAxt), testing::kDemoStamp);
  // A "1C" header of another shape, or no such header, holds no stamp.
  EXPECT_EQ(*GetTimeDateStamp(kDemoAxt, "binary", "ABCD"), "");
  EXPECT_EQ(*GetTimeDateStamp(kDemoAxt, "binary", "ZZZZ"), "");
  auto not_har = GetTimeDateStamp(kDemoMinPath, "binary", "DTXT");
  ASSERT_FALSE(not_har);
  EXPECT_TRUE(not_har.error().ends_with("[GetTimeDateStamp]")) << not_har.error();
}

TEST(TimeStamp, DemoMinAndTableBelongTogether) {
  auto r = MinAxtCompatible(kDemoMinPath, kDemoAxt);
  ASSERT_TRUE(r) << r.error();
  EXPECT_TRUE(*r);
}

}  // namespace
}  // namespace yl
