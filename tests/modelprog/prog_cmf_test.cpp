// Reading command files into records: the statements the main program writes, the closure
// and shock forms, and the errors.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "modelprog/prog_cmf.h"
#include "modelprog/prog_outputs.h"

namespace yl::modelprog {
namespace {

using ::testing::HasSubstr;

TEST(CommandFileTest, ReadsTheStatementsOfAPeriod) {
  auto c = ParseCommandFile(
      "! comment\nauxiliary files = \"/m dir/demomodel\";\nauto_shocks = no ;\n"
      "Solution file = /w/bs1b-br1r-2003 ;\nUDC file = yes ;\nMethod = Gragg;\nSteps = 2 4 6;\n"
      "subintervals = 3;\nautomatic accuracy = yes;\naccuracy figures = 5;\naccuracy percent = "
      "90;\n"
      "minimum subinterval length =  1.0E-0004;\nminimum subinterval fails = continue;\n"
      "accuracy criterion = Both;\nverbal description = autosim BR1R2003;\n"
      "File BASEDATA = \"/w/a b.har\" ; ! updated input\nFile SUMMARY = /w/s.har ; ! output\n"
      "updated file BASEDATA = /w/bas-x.har;\nintermediate extra data = BR1R2003 ;\n"
      "save environment file /t/BR1R2003 ;\nnds = yes ;\nnwr = yes ;\nneq = yes ;\nnas = no ;\n",
      "x.cmf");
  ASSERT_TRUE(c.has_value()) << c.error();
  EXPECT_EQ(c->auxiliary, "/m dir/demomodel");
  EXPECT_FALSE(c->auto_shocks);
  EXPECT_EQ(c->solution, "/w/bs1b-br1r-2003");
  EXPECT_TRUE(c->udc);
  EXPECT_EQ(c->method.method, model::SolveMethod::kGragg);
  EXPECT_EQ(c->method.steps, (std::vector<int>{2, 4, 6}));
  EXPECT_TRUE(c->method.automatic_accuracy);
  EXPECT_EQ(c->method.auto_accuracy.subintervals, 3);
  EXPECT_EQ(c->method.auto_accuracy.figures, 5);
  EXPECT_EQ(c->method.auto_accuracy.percent, 90);
  EXPECT_DOUBLE_EQ(c->method.auto_accuracy.min_subinterval_length, 1e-4);
  EXPECT_FALSE(c->method.auto_accuracy.stop_on_failure);
  EXPECT_EQ(c->method.auto_accuracy.criterion, model::AccuracyCriterion::kBoth);
  EXPECT_EQ(c->verbal, "autosim BR1R2003");
  EXPECT_EQ(YearOfDescription(c->verbal), 2003);
  ASSERT_EQ(c->files.size(), 2u);
  EXPECT_EQ(c->files[0].path, "/w/a b.har");
  EXPECT_EQ(c->files[1].logical, "SUMMARY");
  ASSERT_EQ(c->updated.size(), 1u);
  EXPECT_EQ(c->updated[0].path, "/w/bas-x.har");
  EXPECT_EQ(c->save_environment, (std::vector<std::string>{"/t/BR1R2003"}));
  EXPECT_TRUE(c->nds && c->nwr && c->neq && !c->nas);
}

TEST(CommandFileTest, ReadsClosureAndShockForms) {
  auto c = ParseCommandFile(
      "exo y k(\"AGR\", MAN) w ;\nendo k(AGR) ;\nswap y(\"SER\") = a(SER) ;\nrest endogenous ;\n"
      "use environment file base ;\n"
      "shock y = 1 2 3 ;\nsho w = uniform 2.5 ;\nashock tpow(\"MAN\") = -5 ;\ntshock a(AGR) = 1 ;\n"
      "final_level savr = 0.2 ;\nchange ltot = 3 ;\npercent_change pcpi = 1 ;\n"
      "shock y = file \"sh k.har\" header \"YGRO\"  slice \"Y2005\" ;\n"
      "shock ltot\n  = 0.5\n  slice \"Y2005\" ;\n",
      "x.cmf");
  ASSERT_TRUE(c.has_value()) << c.error();
  ASSERT_EQ(c->closure.size(), 5u);
  EXPECT_EQ(c->closure[0].op, ClosureOp::kExogenous);
  ASSERT_EQ(c->closure[0].items.size(), 3u);
  EXPECT_EQ(c->closure[0].items[1].elements, (std::vector<std::string>{"AGR", "MAN"}));
  EXPECT_EQ(c->closure[1].op, ClosureOp::kEndogenous);
  EXPECT_EQ(c->closure[2].op, ClosureOp::kSwap);
  EXPECT_EQ(ListText(c->closure[2].swap_out), "y(SER)");
  EXPECT_EQ(ListText(c->closure[2].swap_in), "a(SER)");
  EXPECT_EQ(c->closure[3].op, ClosureOp::kRestEndogenous);
  EXPECT_EQ(c->closure[4].op, ClosureOp::kUseEnv);
  EXPECT_EQ(c->closure[4].environment, "base");
  ASSERT_EQ(c->shocks.size(), 9u);
  EXPECT_EQ(c->shocks[0].values, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(c->shocks[1].values, (std::vector<double>{2.5}));
  EXPECT_EQ(c->shocks[2].kind, ShockWord::kAShock);
  EXPECT_EQ(c->shocks[3].kind, ShockWord::kTShock);
  EXPECT_EQ(c->shocks[4].kind, ShockWord::kFinalLevel);
  EXPECT_EQ(c->shocks[5].kind, ShockWord::kChange);
  EXPECT_EQ(c->shocks[6].kind, ShockWord::kPercentChange);
  EXPECT_EQ(c->shocks[7].file, "sh k.har");
  EXPECT_EQ(c->shocks[7].header, "YGRO");
  EXPECT_EQ(c->shocks[7].slice, "Y2005");
  EXPECT_EQ(c->shocks[8].line, 14);
  EXPECT_EQ(c->shocks[8].slice, "Y2005");
  EXPECT_EQ(c->notes.size(), 1u);  // the slice after a number list has no effect
}

struct ErrorCase {
  const char* text;
  const char* error;
};

class CommandFileErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CommandFileErrorTest, NamesTheLineAndTheProblem) {
  auto c = ParseCommandFile(GetParam().text, "x.cmf");
  ASSERT_FALSE(c.has_value());
  EXPECT_THAT(c.error(), HasSubstr(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    Statements, CommandFileErrorTest,
    ::testing::Values(ErrorCase{"Method = Gragg;\nMethod Gragg;\n", "line 2: expected \"=\""},
                      ErrorCase{"steps = 2 4 6 8;", "at most three step counts"},
                      ErrorCase{"subintervals = 0;", "expected a whole number from 1"},
                      ErrorCase{"automatic accuracy = maybe;", "expected \"yes\" or \"no\""},
                      ErrorCase{"accuracy criterion = Some;", "unknown accuracy criterion"},
                      ErrorCase{"exogenous ;", "no variables after"},
                      ErrorCase{"exogenous y(AGR ;", "is not closed"},
                      ErrorCase{"rest ;", "expected \"rest exogenous\""},
                      ErrorCase{"swap y ;", "expected \"swap OUT = IN\""},
                      ErrorCase{"shock y 3 ;", "expected \"=\" after y"},
                      ErrorCase{"shock y = file a.har ;", "expected \"file NAME header"},
                      ErrorCase{"shock y = uniform 1 2 ;", "one number after \"uniform\""},
                      ErrorCase{"take x ;", "is not supported"},
                      ErrorCase{"save environment ;", "save environment file NAME"},
                      ErrorCase{"hello there ;", "line 1: unknown statement \"hello\""},
                      ErrorCase{"exogenous y", "does not end with \";\""}));

}  // namespace
}  // namespace yl::modelprog
