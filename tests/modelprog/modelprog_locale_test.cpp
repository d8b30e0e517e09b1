// The command file carries the solution method and shocks from the main program to the
// model program; under a comma-decimal locale both ends still use ".".

#include <gtest/gtest.h>

#include "cmf/sol_method.h"
#include "modelcore/accuracy.h"
#include "modelprog/prog_cmf.h"
#include "support/comma_locale.h"

namespace yl::modelprog {
namespace {

using ModelProgUnderCommaLocale = yl::testing::CommaLocaleTest;

TEST_F(ModelProgUnderCommaLocale, CommandFileMethodAndShocksKeepPointDecimals) {
  TSolMethod m = GraggDefaultSolMethod();
  m.AutoAccuracy = true;
  TAutoAccuracy aa;
  aa.MinSubintervalLength = 0.00025f;
  std::string text;
  for (const std::string& l : SolMethodCmfLines(m, aa)) text += l + "\n";
  EXPECT_NE(text.find("minimum subinterval length =  2.5E-0004;\n"), std::string::npos) << text;
  text += "shock x = 0.5 -1.25e-3 4 ;\n";
  const std::string path = scratch.Write("loc.cmf", text);

  auto c = ReadCommandFile(path);
  ASSERT_TRUE(c) << c.error();
  EXPECT_EQ(c->method.auto_accuracy.min_subinterval_length, 2.5e-4);
  ASSERT_EQ(c->shocks.size(), 1u);
  EXPECT_EQ(c->shocks[0].values, (std::vector<double>{0.5, -1.25e-3, 4}));

  auto comma = ParseCommandFile("shock x = 0,5 ;\n", "c.cmf");
  ASSERT_FALSE(comma);
  EXPECT_EQ(comma.error(), "Command file c.cmf, line 1: \"0,5\" is not a number");
}

TEST_F(ModelProgUnderCommaLocale, SolveLogKeepsPointDecimals) {
  EXPECT_EQ(model::NotSufficientLine(2, 87.25, 90, 4),
            " Accuracy for subinterval 2 not sufficient - accuracy was 87.2 percent of results "
            "accurate to 4 figures, 90 percent required.");
}

}  // namespace
}  // namespace yl::modelprog
