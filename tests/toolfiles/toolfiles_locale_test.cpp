// Results tables and BOT shocks are read by other processes, which may run under another
// locale: their numbers are always written and read with "." decimals.

#include <gtest/gtest.h>

#include "support/comma_locale.h"
#include "toolfiles/bot_file.h"
#include "toolfiles/csv_table.h"

namespace yl::toolfiles {
namespace {

using ToolFilesUnderCommaLocale = yl::testing::CommaLocaleTest;

TEST_F(ToolFilesUnderCommaLocale, CsvResultsWriteAndReadPointDecimals) {
  ResultsTable t;
  t.kind = kKindCumulative;
  t.info = {{"Source", "a.csv"}};
  t.columns = {"2021", "2022", "2023", "2024"};
  t.rows = {{"y", "AGR", 'p', "Output, volume", {1.5, -0.0025, 1234567.0, 1e-09}}};
  const std::string text = FormatTable(t);
  EXPECT_NE(text.find("y,AGR,p,\"Output, volume\",1.5,-0.0025,1234567,1e-09\n"), std::string::npos)
      << text;
  const std::string path = scratch.Write("t.csv", text);
  auto back = ReadTableFile(path);
  ASSERT_TRUE(back) << back.error();
  ASSERT_EQ(back->rows.size(), 1u);
  EXPECT_EQ(back->rows[0].values, t.rows[0].values);

  // What a locale-dependent writer would have left is refused, not misread.
  auto comma =
      ParseTable("Results,year\nVariable,Element,Type,Label,2021\ny,,p,L,\"1,5\"\n", "c.csv");
  ASSERT_FALSE(comma);
  EXPECT_NE(comma.error().find("\"1,5\" is not a number"), std::string::npos) << comma.error();
}

TEST_F(ToolFilesUnderCommaLocale, BotShocksCarryPointDecimals) {
  ResultVariable v;
  v.name = "x";
  v.elements = {"A", "B", "C"};
  v.values = {0.5, -1.23456789e-7, 3.0};
  EXPECT_EQ(ShockWithValues(v, {0, 1, 2}), "shock x = 0.5 -1.23456786e-07 3 ;\n");
}

}  // namespace
}  // namespace yl::toolfiles
