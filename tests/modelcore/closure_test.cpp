#include "modelcore/closure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace yl::model {
namespace {

// y and a over two sectors, then the scalar w: components y(A)=0, y(B)=1, a(A)=2, a(B)=3,
// w=4.
std::vector<VariableInfo> Vars() {
  return {{"y", "S", {"A", "B"}, "output", 0},
          {"a", "S", {"A", "B"}, "productivity", 2},
          {"w", "", {}, "wage", 4}};
}

std::vector<bool> Flags(const Closure& c) {
  auto f = ExogenousFlags(c, Vars());
  EXPECT_TRUE(f.has_value()) << f.error();
  return f.value_or(std::vector<bool>{});
}

const std::vector<std::string> kAll;

TEST(Closure, ExogenousEndogenousAndRest) {
  Closure c;
  ASSERT_TRUE(Exogenous(c, Vars(), "Y"));  // names match without regard to case
  ASSERT_TRUE(Endogenous(c, Vars(), "y", std::vector<std::string>{"b"}));
  Rest(c, Vars(), /*rest_exogenous=*/true);
  // y(B) was declared endogenous, so "rest exogenous" leaves it alone.
  EXPECT_EQ(Flags(c), (std::vector<bool>{true, false, true, true, true}));
  EXPECT_EQ(c.exogenous.front(), (VarComponent{"y", "A"}));

  Closure d;
  ASSERT_TRUE(Exogenous(d, Vars(), "w"));
  Rest(d, Vars(), false);
  EXPECT_EQ(Flags(d), (std::vector<bool>{false, false, false, false, true}));
}

TEST(Closure, SwapReplacesComponentsPairByPair) {
  Closure c;
  ASSERT_TRUE(Exogenous(c, Vars(), "y"));
  ASSERT_TRUE(Exogenous(c, Vars(), "w"));
  ASSERT_TRUE(
      Swap(c, Vars(), "y", std::vector<std::string>{"B"}, "a", std::vector<std::string>{"B"}));
  EXPECT_EQ(Flags(c), (std::vector<bool>{true, false, false, true, true}));
  ASSERT_TRUE(
      Swap(c, Vars(), "y", std::vector<std::string>{"A"}, "a", std::vector<std::string>{"A"}));
  EXPECT_EQ(Flags(c), (std::vector<bool>{false, false, true, true, true}));
  EXPECT_EQ(c.exogenous.size(), 3u);
}

TEST(Closure, BadStatementsFailAndLeaveTheClosureAlone) {
  struct Case {
    const char* what;
    std::function<Status(Closure&)> act;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"unknown variable", [](Closure& c) { return Exogenous(c, Vars(), "zz"); },
       "Unknown variable \"zz\""},
      {"unknown element",
       [](Closure& c) { return Exogenous(c, Vars(), "y", std::vector<std::string>{"C"}); },
       "Unknown element \"C\" of set S for variable y"},
      {"element of a scalar",
       [](Closure& c) { return Exogenous(c, Vars(), "w", std::vector<std::string>{"A"}); },
       "Variable w has no set"},
      {"twice exogenous", [](Closure& c) { return Exogenous(c, Vars(), "y"); },
       "Variable y(A) is already exogenous"},
      {"swap out an endogenous", [](Closure& c) { return Swap(c, Vars(), "a", kAll, "y", kAll); },
       "Cannot swap a(A): it is not exogenous"},
      {"swap in an exogenous", [](Closure& c) { return Swap(c, Vars(), "y", kAll, "y", kAll); },
       "Cannot swap in y(A): it is already exogenous"},
      {"swap sizes differ", [](Closure& c) { return Swap(c, Vars(), "y", kAll, "w", kAll); },
       "Cannot swap 2 components of y with 1 components of w"},
  };
  for (const Case& k : cases) {
    Closure c;
    ASSERT_TRUE(Exogenous(c, Vars(), "y"));
    const Closure before = c;
    Status s = k.act(c);
    ASSERT_FALSE(s) << k.what;
    EXPECT_NE(s.error().find(k.message), std::string::npos) << k.what << ": " << s.error();
    EXPECT_EQ(c.exogenous, before.exogenous) << k.what;
  }
}

TEST(Closure, ExogenousFlagsRejectsForeignAndRepeatedComponents) {
  Closure c;
  c.exogenous = {{"y", "A"}, {"Y", "a"}};
  auto f = ExogenousFlags(c, Vars());
  ASSERT_FALSE(f);
  EXPECT_EQ(f.error(), "Variable Y(a) is exogenous twice[ExogenousFlags]");
  c.exogenous = {{"q", ""}};
  EXPECT_FALSE(ExogenousFlags(c, Vars()));
}

TEST(Shocks, KindsConvertToPercentChanges) {
  Closure c;
  ASSERT_TRUE(Exogenous(c, Vars(), "y"));
  ASSERT_TRUE(Exogenous(c, Vars(), "w"));
  const std::vector<double> levels = {200, 50, 1, 1, 4};
  struct Case {
    ShockKind kind;
    double value;
    double percent_of_y_a;  // y(A) starts at 200
  };
  const Case cases[] = {{ShockKind::kShock, 3, 3},
                        {ShockKind::kPercentChange, -2.5, -2.5},
                        {ShockKind::kChange, 10, 5},
                        {ShockKind::kFinalLevel, 150, -25}};
  for (const Case& k : cases) {
    std::vector<Shock> shocks;
    ASSERT_TRUE(AddShock(shocks, Vars(), "y", std::vector<std::string>{"A"}, k.kind,
                         std::vector<double>{k.value}));
    auto p = ShockPercents(shocks, Vars(), Flags(c), levels);
    ASSERT_TRUE(p) << p.error();
    EXPECT_DOUBLE_EQ((*p)[0], k.percent_of_y_a);
    EXPECT_EQ((*p)[1], 0.0);  // exogenous and not shocked
  }
  // One value per component, and a later shock replaces an earlier one.
  std::vector<Shock> shocks;
  ASSERT_TRUE(AddShock(shocks, Vars(), "y", kAll, ShockKind::kShock, std::vector<double>{1, 2}));
  ASSERT_TRUE(AddShock(shocks, Vars(), "y", std::vector<std::string>{"B"},
                       ShockKind::kPercentChange, std::vector<double>{7}));
  auto p = ShockPercents(shocks, Vars(), Flags(c), levels);
  ASSERT_TRUE(p);
  EXPECT_EQ((*p)[0], 1);
  EXPECT_EQ((*p)[1], 7);
}

TEST(Shocks, BadShocksAreRefused) {
  Closure c;
  ASSERT_TRUE(Exogenous(c, Vars(), "y"));
  ASSERT_TRUE(Exogenous(c, Vars(), "w"));
  std::vector<double> levels = {200, 50, 1, 1, 0};
  auto percents = [&](const char* var, ShockKind kind, double value) {
    std::vector<Shock> s;
    EXPECT_TRUE(AddShock(s, Vars(), var, kAll, kind, std::vector<double>{value}));
    return ShockPercents(s, Vars(), Flags(c), levels);
  };
  auto r = percents("a", ShockKind::kShock, 1);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Variable a(A) is shocked but is not exogenous[ShockPercents]");
  r = percents("w", ShockKind::kFinalLevel, 2);
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().find("its level is zero"), std::string::npos);
  r = percents("y", ShockKind::kFinalLevel, 0);
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().find("zero or negative"), std::string::npos);
  r = percents("y", ShockKind::kShock, -100);
  ASSERT_FALSE(r);

  std::vector<Shock> s;
  auto bad = AddShock(s, Vars(), "y", kAll, ShockKind::kShock, std::vector<double>{1, 2, 3});
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(), "Shock to y has 3 values for 2 components");
  EXPECT_FALSE(
      AddShock(s, Vars(), "y", kAll, ShockKind::kShock, std::vector<double>{std::nan("")}));
  EXPECT_TRUE(s.empty());
}

}  // namespace
}  // namespace yl::model
