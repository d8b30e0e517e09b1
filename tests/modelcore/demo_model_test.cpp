#include "modelcore/demo_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "exact_support.h"
#include "modelcore/solver.h"

namespace yl::model {
namespace {

DataArray& Array(DataFile& f, const char* header) {
  for (DataArray& a : f.arrays)
    if (a.header == header) return a;
  throw std::runtime_error(header);
}

TEST(DemoModel, StartDataSolveTheLevelsEquations) {
  const DemoInputs in = DemoStartData();
  auto m = MakeDemoModel(in);
  ASSERT_TRUE(m) << m.error();
  EXPECT_EQ((*m)->ComponentCount(), 14 * 3 + 9);
  EXPECT_EQ((*m)->ComponentCount() - (*m)->EquationCount(), 12);
  for (const VariableInfo& v : (*m)->Variables()) EXPECT_LE(v.name.size(), 12u);

  // No shock: the levels implied by the data already solve the levels equations.
  auto flags = ExogenousFlags(DemoBaseClosure(**m), (*m)->Variables());
  ASSERT_TRUE(flags);
  auto exact =
      testing::ExactForPercents(in, **m, *flags, std::vector<double>((*m)->ComponentCount(), 0.0));
  EXPECT_LT(exact.start_residual, 1e-12);
  const Eigen::VectorXd start = (*m)->Levels((*m)->StartData());
  EXPECT_LT((exact.levels - start).cwiseAbs().maxCoeff(), 1e-9);
  EXPECT_LT((testing::DataFromLevels(**m, start) - (*m)->StartData()).cwiseAbs().maxCoeff(), 1e-9);
}

TEST(DemoModel, BadInputsAreRefusedWithAClearError) {
  struct Case {
    const char* what;
    std::function<void(DemoInputs&)> spoil;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"missing header",
       [](DemoInputs& in) {
         std::erase_if(in.base.arrays, [](const DataArray& a) { return a.header == "INVS"; });
       },
       "Header INVS missing from BASEDATA"},
      {"short header", [](DemoInputs& in) { Array(in.base, "LABR").values.pop_back(); },
       "Header LABR of BASEDATA has 2 values, expected 3"},
      {"not a number", [](DemoInputs& in) { Array(in.params, "SIGM").values[1] = std::nan(""); },
       "Header SIGM of PARAMS holds a value that is not a number"},
      {"negative value", [](DemoInputs& in) { Array(in.base, "KVAL").values[2] = -1; },
       "Header KVAL of BASEDATA must be positive (sector SER)"},
      {"unbalanced sector", [](DemoInputs& in) { Array(in.base, "HOUS").values[0] += 5; },
       "Data not balanced: sales of AGR"},
      {"unbalanced investment", [](DemoInputs& in) { Array(in.base, "INVS").values[0] += 5; },
       "Data not balanced: investment by destination"},
      {"depreciation of one", [](DemoInputs& in) { Array(in.params, "DEPR").values[0] = 1; },
       "Depreciation rate of AGR must be at least 0 and below 1"},
      {"weight zero", [](DemoInputs& in) { Array(in.params, "OMEG").values[0] = 0; },
       "Weight OMEG must be above 0 and at most 1"},
      {"no lagged capital", [](DemoInputs& in) { in.lag.arrays.clear(); },
       "Header CAPR missing from LAGDATA"},
      {"repeated element", [](DemoInputs& in) { in.sectors.elements[2] = "agr"; },
       "Element AGR appears twice in set SECT"},
      {"empty set", [](DemoInputs& in) { in.sectors.elements.clear(); },
       "Set SECT has no elements"},
  };
  for (const Case& k : cases) {
    DemoInputs in = DemoStartData();
    k.spoil(in);
    auto m = MakeDemoModel(in);
    ASSERT_FALSE(m) << k.what;
    EXPECT_NE(m.error().find(k.message), std::string::npos) << k.what << ": " << m.error();
    EXPECT_TRUE(m.error().ends_with("[MakeDemoModel]"));
  }
}

TEST(DemoModel, CapitalAndTheLaggedDataMoveFromPeriodToPeriod) {
  DemoInputs period1 = DemoStartData();
  auto m1 = MakeDemoModel(period1);
  ASSERT_TRUE(m1);
  std::vector<Shock> shocks;
  const std::vector<std::string> all;
  ASSERT_TRUE(AddShock(shocks, (*m1)->Variables(), "y", all, ShockKind::kShock,
                       std::vector<double>{3, 5, 2}));
  std::vector<std::string> log;
  auto out1 = Solve(**m1, DemoBaseClosure(**m1), shocks, SolveSettings{}, log);
  ASSERT_TRUE(out1) << out1.error();

  ASSERT_EQ(out1->updated_files.size(), 1u);
  ASSERT_EQ(out1->output_files.size(), 1u);
  EXPECT_EQ(out1->updated_files[0].logical_name, "BASEDATA");
  EXPECT_EQ(out1->output_files[0].logical_name, "SUMMARY");
  const VariableResult* kend = FindResult(*out1, "kend");
  const VariableResult* k = FindResult(*out1, "k");
  const VariableResult* pinv = FindResult(*out1, "pinv");
  const DataArray* kval = FindArray(out1->updated_files[0], "KVAL");
  const DataArray* growth = FindArray(out1->output_files[0], "KGRW");
  ASSERT_TRUE(kend && k && pinv && kval && growth);
  for (std::size_t i = 0; i < 3; ++i) {
    // The stock written out is the end-of-period stock at end-of-period prices.
    EXPECT_NEAR(kval->values[i] / (kend->post_level[i] * (1 + pinv->percent_change[0] / 100)), 1,
                1e-9);
    EXPECT_NEAR(growth->values[i], 100 * (kend->post_level[i] / k->pre_level[i] - 1), 1e-9);
  }

  const DemoInputs period2 = NextPeriodInputs(period1, out1->updated_files);
  EXPECT_EQ(FindArray(period2.lag, "CAPR")->values, FindArray(period1.base, "CAPR")->values);
  EXPECT_EQ(period2.lag.logical_name, "LAGDATA");
  auto m2 = MakeDemoModel(period2);
  ASSERT_TRUE(m2) << m2.error();
  const Eigen::VectorXd levels2 = (*m2)->Levels((*m2)->StartData());
  const VariableInfo& kvar = (*m2)->Variables()[2];
  ASSERT_EQ(kvar.name, "k");
  for (int i = 0; i < 3; ++i)
    EXPECT_DOUBLE_EQ(levels2[kvar.first + i], kval->values[static_cast<std::size_t>(i)]);

  // The lagged data enter the solve: other lagged returns give other results.
  DemoInputs other = period2;
  for (double& v : Array(other.lag, "CAPR").values) v *= 1.5;
  auto m3 = MakeDemoModel(other);
  ASSERT_TRUE(m3);
  std::vector<std::string> log2;
  auto out2 = Solve(**m2, DemoBaseClosure(**m2), shocks, SolveSettings{}, log2);
  auto out3 = Solve(**m3, DemoBaseClosure(**m3), shocks, SolveSettings{}, log2);
  ASSERT_TRUE(out2 && out3);
  EXPECT_GT(std::abs(FindResult(*out2, "qi")->percent_change[0] -
                     FindResult(*out3, "qi")->percent_change[0]),
            1e-5);
}

}  // namespace
}  // namespace yl::model
