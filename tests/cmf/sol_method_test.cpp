#include "cmf/sol_method.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"

namespace yl {
namespace {

TSolMethod Method(int kind, int n, std::array<int, 3> steps, int subint = 1, bool aa = false) {
  TSolMethod m;
  m.Method = kind;
  m.NumSolutions = n;
  m.Steps = steps;
  m.Subintervals = subint;
  m.AutoAccuracy = aa;
  return m;
}

TEST(SolMethod, Defaults) {
  EXPECT_EQ(StartupSolMethod(), Method(kJohansen, 1, {1, 3, 5}));
  EXPECT_EQ(GraggDefaultSolMethod(), Method(kGragg, 3, {2, 4, 6}));
  TAutoAccuracy aa;
  EXPECT_EQ(aa.Percent, 80);
  EXPECT_EQ(aa.Subintervals, 2);
  EXPECT_EQ(aa.Figures, 4);
  EXPECT_FLOAT_EQ(aa.MinSubintervalLength, 0.001f);
  EXPECT_TRUE(aa.StopOnFailure);
  EXPECT_EQ(aa.Criterion, kCriterionData);
}

TEST(SolMethod, CmfLinesWithoutAutomaticAccuracy) {
  struct Case {
    TSolMethod m;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {Method(kGragg, 3, {2, 4, 6}),
       {"Method = Gragg;", "Steps = 2 4 6;", "subintervals = 1;", "automatic accuracy = no;"}},
      // Johansen ignores whatever the step fields held.
      {Method(kJohansen, 1, {7, 8, 9}, 3),
       {"Method = Johansen;", "Steps = 1;", "subintervals = 3;", "automatic accuracy = no;"}},
      {Method(kEuler, 2, {3, 5, 0}),
       {"Method = Euler;", "Steps = 3 5;", "subintervals = 1;", "automatic accuracy = no;"}},
      {Method(kMidpoint, 1, {4, 0, 0}, 2),
       {"Method = Midpoint;", "Steps = 4;", "subintervals = 2;", "automatic accuracy = no;"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SolMethodCmfLines(c.m, {}), c.lines);
}

TEST(SolMethod, CmfLinesWithAutomaticAccuracy) {
  TAutoAccuracy aa;  // 80 percent, 4 figures, 0.001, stop, Data
  EXPECT_EQ(SolMethodCmfLines(Method(kGragg, 3, {2, 4, 6}, 5, true), aa),
            (std::vector<std::string>{
                "Method = Gragg;", "Steps = 2 4 6;", "subintervals = 2;",
                "automatic accuracy = yes;", "accuracy figures = 4;", "accuracy percent = 80;",
                "minimum subinterval length =  1.0E-0003;", "minimum subinterval fails = stop;",
                "accuracy criterion = Data;"}));
  aa.StopOnFailure = false;
  aa.Criterion = kCriterionBoth;
  aa.MinSubintervalLength = 1e-9f;
  auto lines = SolMethodCmfLines(Method(kEuler, 3, {3, 4, 5}, 1, true), aa);
  EXPECT_EQ(lines[6], "minimum subinterval length =  1.0E-0009;");
  EXPECT_EQ(lines[7], "minimum subinterval fails = continue;");
  EXPECT_EQ(lines[8], "accuracy criterion = Both;");
}

TEST(SolMethod, ExponentRealFormat) {
  EXPECT_EQ(FormatExponentReal(0.001f), " 1.0E-0003");
  EXPECT_EQ(FormatExponentReal(0.1f), " 1.0E-0001");
  EXPECT_EQ(FormatExponentReal(0.00025), " 2.5E-0004");
  EXPECT_EQ(FormatExponentReal(12.0), " 1.2E+0001");
  EXPECT_EQ(FormatExponentReal(-0.5), "-5.0E-0001");
  EXPECT_EQ(FormatExponentReal(0.0), " 0.0E+0000");
}

TEST(SolMethod, Descriptions) {
  struct Case {
    TSolMethod m;
    const char* text;
  };
  const Case cases[] = {
      {Method(kGragg, 3, {2, 4, 6}), "Gragg: 2-4-6 steps extrapolation"},
      {Method(kJohansen, 1, {1, 3, 5}, 4), "Johansen: 1 step"},
      {Method(kEuler, 1, {7, 0, 0}), "Euler: 7 steps"},
      {Method(kMidpoint, 2, {2, 4, 0}, 3), "Midpoint: 2-4 steps extrapolation"},
      {Method(kGragg, 3, {2, 4, 6}, 3), "Gragg: 2-4-6 steps extrapolation (3 subintervals)"},
      {Method(kEuler, 3, {3, 4, 5}, 3, true),
       "Euler: 3-4-5 steps extrapolation (Automatic Accuracy)"},
  };
  for (const Case& c : cases) EXPECT_EQ(SolMethodDescription(c.m), c.text);
}

TEST(SolMethod, ChangeDetection) {
  SolMethodSetting base{Method(kGragg, 3, {2, 4, 6}), {}};
  auto changed = [&](auto edit) {
    SolMethodSetting after = base;
    edit(after);
    return SolMethodChanged(base, after);
  };
  EXPECT_FALSE(changed([](SolMethodSetting&) {}));
  EXPECT_TRUE(changed([](SolMethodSetting& s) { s.Method.Method = kMidpoint; }));
  EXPECT_TRUE(changed([](SolMethodSetting& s) { s.Method.Steps[2] = 8; }));
  EXPECT_TRUE(changed([](SolMethodSetting& s) { s.Method.NumSolutions = 2; }));
  EXPECT_TRUE(changed([](SolMethodSetting& s) { s.Method.Subintervals = 4; }));
  EXPECT_TRUE(changed([](SolMethodSetting& s) { s.Accuracy.Figures = 5; }));
  // Subintervals do not count under automatic accuracy.
  base.Method.AutoAccuracy = true;
  EXPECT_FALSE(changed([](SolMethodSetting& s) { s.Method.Subintervals = 4; }));
  // Steps and count of Johansen do not count.
  base = {Method(kJohansen, 1, {1, 3, 5}), {}};
  EXPECT_FALSE(changed([](SolMethodSetting& s) { s.Method.Steps = {1, 1, 1}; }));
}

TEST(SolMethod, MethodForPeriod) {
  TSimRecord rec;
  rec.NumYears = 3;
  SolMethodState state;
  state.Alternative.Method = GraggDefaultSolMethod();
  rec.AltMethodYears[2] = true;
  EXPECT_EQ(&MethodForPeriod(state, rec, 2), &state.Normal);  // switch off
  rec.AltMethodInUse = true;
  EXPECT_EQ(&MethodForPeriod(state, rec, 2), &state.Alternative);
  EXPECT_EQ(&MethodForPeriod(state, rec, 1), &state.Normal);
  EXPECT_THROW(MethodForPeriod(state, rec, 1000), InternalError);
}

TEST(SolMethod, UnknownMethodIsInternalError) {
  EXPECT_THROW(SolMethodName(5), InternalError);
  EXPECT_THROW(CriterionName(3), InternalError);
}

}  // namespace
}  // namespace yl
