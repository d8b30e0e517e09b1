#include "records/file_stamp.h"

#include <gtest/gtest.h>

#include "platform/file_time.h"
#include "support/scratch_dir.h"

namespace yl::records {
namespace {

using yl::testing::ScratchDir;

// 2004-03-15 12:22:10 UTC in 100-ns units since 1601: an even second, so a DOS time
// (two-second steps) holds it exactly in every time zone.
constexpr std::uint64_t kMarch2004 = (1079353330ULL + 11644473600ULL) * 10000000ULL;

TEST(FileStamp, HalvesAreSignedAndTheNameKeepsItsBlanks) {
  struct Case {
    FileStamp stamp;
    std::string text;
  };
  const Case cases[] = {
      {{0x00000001FFFFFFFFULL, 5, "/a b/c.har"}, "-1 1 5 0 /a b/c.har"},
      {{0, -1, "/gone"}, "0 0 -1 -1 /gone"},
      {{0x7FFFFFFF80000000ULL, (std::int64_t{1} << 32) + 3, "x"}, "-2147483648 2147483647 3 1 x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFileStamp(c.stamp), c.text);
    EXPECT_EQ(ParseFileStamp(c.text), c.stamp) << c.text;
  }
  for (const char* bad : {"", "1 2 3", "a 2 3 4 x", "1 2 3 99999999999 x"}) {
    EXPECT_FALSE(ParseFileStamp(bad)) << bad;
  }
}

TEST(FileStamp, CompletionStampsRoundTripAsUnsigned) {
  const std::uint64_t t = 0xF123456789ABCDEFULL;
  EXPECT_EQ(ParseCompletion(FormatCompletion(t)), t);
  EXPECT_FALSE(ParseCompletion("12"));
  EXPECT_FALSE(ParseCompletion("1 2 3"));
}

TEST(FileStamp, AMissingFileIsStampedWithoutTimeOrSize) {
  ScratchDir dir;
  EXPECT_EQ(StampOf(dir / "none"), (FileStamp{0, -1, dir / "none"}));
}

TEST(FileStamp, DatesAreDayMonthYearAtTime) {
  const std::string text = StampDateText(kMarch2004);
  EXPECT_EQ(text.substr(0, 15), "15-Mar-2004 at ");
  EXPECT_EQ(text.size(), 23u);
  EXPECT_EQ(text.substr(20), ":10");  // seconds do not depend on the time zone
}

class CompareWithStampTest : public ::testing::Test {
 protected:
  // A file of `content` last written at `time`.
  std::string Make(const std::string& content, std::uint64_t time) {
    const std::string path = dir.Write("data.har", content);
    EXPECT_TRUE(SetFileTime100ns(path, time));
    return path;
  }
  StampTest test{"The input file with logical name BASEDATA", "Base", false, true};
  ScratchDir dir;
};

TEST_F(CompareWithStampTest, TimesWithinOneDosStepAndEqualSizesPass) {
  const std::string path = Make("abc", kMarch2004 + 5'000'000);  // + 0.5 s
  const FileStamp then = StampOf(path);
  Make("xyz", kMarch2004 + 15'000'000);  // + 1.5 s, same size
  EXPECT_EQ(CompareWithStamp(then, path, test), "");
}

TEST_F(CompareWithStampTest, EachDifferenceHasItsReason) {
  const std::string path = Make("abc", kMarch2004);
  const FileStamp then = StampOf(path);
  struct Case {
    const char* what;
    std::function<void()> change;
    std::string expected;
  };
  const std::string head = "The input file with logical name BASEDATA: " + path;
  const std::string date = StampDateText(kMarch2004);
  const Case cases[] = {
      {"same time, other size", [&] { Make("abcde", kMarch2004); },
       head + " is different since\r\n    the current version has size 5 bytes but\r\n    the "
              "version used when you last ran the Base\r\n    had size 3 bytes."},
      {"four seconds later", [&] { Make("abc", kMarch2004 + 40'000'000); },
       head + " is different since\r\n    the current file was created on " +
           StampDateText(kMarch2004 + 40'000'000) +
           " but\r\n    the file used when you last ran the Base\r\n    was created on " + date +
           "."},
      {"deleted", [&] { std::remove(path.c_str()); },
       head +
           " no longer exists while\r\n    the file used when you last ran the Base\r\n    was "
           "created on " +
           date + "."},
  };
  for (const Case& c : cases) {
    c.change();
    EXPECT_EQ(CompareWithStamp(then, path, test), c.expected) << c.what;
  }
}

TEST_F(CompareWithStampTest, TheNameCountsWithoutRegardToCase) {
  const std::string path = Make("abc", kMarch2004);
  FileStamp then = StampOf(path);
  then.name = dir / "DATA.HAR";
  EXPECT_EQ(CompareWithStamp(then, path, test), "");
  then.name = dir / "old.har";
  EXPECT_EQ(CompareWithStamp(then, path, test),
            "The name of the input file with logical name BASEDATA\r\n    has changed. Now it "
            "is: " +
                path + "\r\n    but when you last ran the Base it was: " + then.name);
  test.compare_name = false;
  EXPECT_EQ(CompareWithStamp(then, path, test), "");
}

}  // namespace
}  // namespace yl::records
