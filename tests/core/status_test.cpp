#include "core/status.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "core/range_array.h"
#include "core/text_util.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

Status Inner() { return Tag(Status(Fail("Cannot open file x.cmf")), "TxtOpen"); }
Status Middle() {
  auto s = Inner();
  if (!s) return Tag(s, "AddClosureShocksToCMF");
  return Ok();
}
Result<int> Outer() {
  auto s = Middle();
  if (!s) return Forward(s, "MakeCMF");
  return 7;
}

TEST(Status, RoutineNamesAccumulateOnTheWayOut) {
  auto r = Outer();
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Cannot open file x.cmf[TxtOpen][AddClosureShocksToCMF][MakeCMF]");
}

TEST(Status, SuccessPassesTagUnchanged) {
  Result<int> r = 3;
  auto t = Tag(r, "Whatever");
  ASSERT_TRUE(t);
  EXPECT_EQ(*t, 3);
}

TEST(InternalError, UserTextHasTheFixedPreamble) {
  InternalError e("[JoinSelectedBaseNames] Expect long file names here");
  EXPECT_EQ(e.UserText(),
            "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
            "The error message is:\r\n[JoinSelectedBaseNames] Expect long file names here");
}

TEST(RangeArray, IndexOutsideItsRangeIsAnInternalError) {
  RangeArray<int, -1, 3> a;
  a[-1] = 5;
  a[3] = 6;
  EXPECT_EQ(a[-1], 5);
  EXPECT_EQ(a[3], 6);
  EXPECT_THROW(a[-2], InternalError);
  EXPECT_THROW(a[4], InternalError);
  RangeTable<char, -1, 2, 1, 4> t;
  t(2, 4) = 'x';
  EXPECT_EQ(t(2, 4), 'x');
  EXPECT_THROW(t(2, 0), InternalError);
  EXPECT_THROW(t(3, 1), InternalError);
}

TEST(TextUtil, CaseAndTrimming) {
  EXPECT_EQ(UpperCase("ab1-z"), "AB1-Z");
  EXPECT_EQ(LowerCase("BS1B-2003.HAR"), "bs1b-2003.har");
  EXPECT_TRUE(SameText("Run98.CLS", "RUN98.cls"));
  EXPECT_FALSE(SameText("a", "ab"));
  EXPECT_EQ(Trim("  x y \r\n"), "x y");
  EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(PadLeft("7", 3, '0'), "007");
}

TEST(ScriptedPrompter, RecordsMessagesAndAnswersFromTheQueue) {
  testing::ScriptedPrompter p;
  p.Answer(kNo);
  EXPECT_EQ(p.Confirm("Continue?", kYes | kNo, 7079), kNo);
  EXPECT_EQ(p.Confirm("Again?", kYes | kNo), kYes);  // empty queue: Yes
  EXPECT_EQ(p.Error("Bad"), kOk);
  ASSERT_EQ(p.messages.size(), 3u);
  EXPECT_EQ(p.messages[0].kind, MessageKind::kConfirmation);
  EXPECT_EQ(p.messages[0].help_topic, 7079);
  EXPECT_TRUE(p.messages[0].buttons & kHelp);
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"Continue?", "Again?", "Bad"}));
}

}  // namespace
}  // namespace yl
