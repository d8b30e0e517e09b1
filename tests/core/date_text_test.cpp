#include "core/date_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace yl {
namespace {

std::tm Tm(int year, int month0, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month0;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(DateText, DayMonthYearAtTime) {
  struct Case {
    std::tm t;
    const char* text;
  };
  const Case cases[] = {
      {Tm(2007, 2, 5, 14, 2, 33), "05-Mar-2007 at 14:02:33"},
      {Tm(2004, 0, 1, 0, 0, 0), "01-Jan-2004 at 00:00:00"},
      {Tm(1999, 11, 31, 23, 59, 59), "31-Dec-1999 at 23:59:59"},
      {Tm(2026, 8, 9, 7, 8, 9), "09-Sep-2026 at 07:08:09"},
      {Tm(2030, 5, 30, 12, 0, 60), "30-Jun-2030 at 12:00:60"},  // a leap second
      {Tm(998, 3, 12, 1, 2, 3), "12-Apr-0998 at 01:02:03"},
      {Tm(12345, 9, 20, 10, 11, 12), "20-Oct-12345 at 10:11:12"},
      {Tm(2007, 12, 5, 14, 2, 33),
       "05-???"
       "-2007 at 14:02:33"},
      {Tm(2007, -1, 5, 14, 2, 33),
       "05-???"
       "-2007 at 14:02:33"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateText(c.t), c.text) << c.text;
}

TEST(DateText, HeaderArrayTimesPutTheClockFirst) {
  EXPECT_EQ(HarTimeText(Tm(2007, 2, 5, 14, 2, 33)), "14:02:33 05-Mar-2007");
  EXPECT_EQ(HarTimeText(Tm(2007, 12, 5, 0, 0, 0)),
            "00:00:00 05-???"
            "-2007");
}

TEST(DateText, MonthNamesDoNotFollowTheLocale) {
  // The window sets the user's locale at start-up; the records it writes must not change.
  if (!std::setlocale(LC_TIME, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  const std::string text = DateText(Tm(2007, 4, 5, 14, 2, 33));
  const std::string har = HarTimeText(Tm(2007, 2, 5, 14, 2, 33));
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(text, "05-May-2007 at 14:02:33");
  EXPECT_EQ(har, "14:02:33 05-Mar-2007");
}

}  // namespace
}  // namespace yl
