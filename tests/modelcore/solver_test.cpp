#include "modelcore/solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "exact_support.h"
#include "modelcore/demo_model.h"

namespace yl::model {
namespace {

const std::vector<std::string> kAll;

class DemoSolve : public ::testing::Test {
 protected:
  void SetUp() override {
    inputs_ = DemoStartData();
    auto m = MakeDemoModel(inputs_);
    ASSERT_TRUE(m) << m.error();
    model_ = std::move(*m);
  }

  const std::vector<VariableInfo>& Vars() const { return model_->Variables(); }

  // Output growth per sector, more workers, a higher saving rate; `scale` makes it rougher.
  std::vector<Shock> BaseShocks(double scale = 1) const {
    std::vector<Shock> s;
    EXPECT_TRUE(AddShock(s, Vars(), "y", kAll, ShockKind::kShock,
                         std::vector<double>{4 * scale, 8 * scale, 2 * scale}));
    EXPECT_TRUE(
        AddShock(s, Vars(), "ltot", kAll, ShockKind::kShock, std::vector<double>{1.5 * scale}));
    EXPECT_TRUE(
        AddShock(s, Vars(), "savr", kAll, ShockKind::kShock, std::vector<double>{3 * scale}));
    return s;
  }

  Result<SolveOutcome> Run(const Closure& closure, const std::vector<Shock>& shocks,
                           const SolveSettings& settings, std::vector<std::string>* log = nullptr) {
    std::vector<std::string> own;
    return Solve(*model_, closure, shocks, settings, log ? *log : own);
  }

  testing::ExactSolution Exact(const Closure& closure, const std::vector<Shock>& shocks) const {
    auto flags = ExogenousFlags(closure, Vars());
    EXPECT_TRUE(flags);
    Eigen::VectorXd pre = model_->Levels(model_->StartData());
    auto pct =
        ShockPercents(shocks, Vars(), *flags,
                      std::span<const double>(pre.data(), static_cast<std::size_t>(pre.size())));
    EXPECT_TRUE(pct);
    auto exact = testing::ExactForPercents(inputs_, *model_, *flags, *pct);
    EXPECT_LT(exact.start_residual, 1e-12);
    EXPECT_LT(exact.final_residual, 1e-12);
    return exact;
  }

  // Flattened post-solve levels and percentage changes of every component.
  static Eigen::VectorXd PostLevels(const SolveOutcome& o) {
    std::vector<double> v;
    for (const VariableResult& r : o.variables)
      v.insert(v.end(), r.post_level.begin(), r.post_level.end());
    return Eigen::Map<Eigen::VectorXd>(v.data(), static_cast<Eigen::Index>(v.size()));
  }
  static std::vector<double> Percents(const SolveOutcome& o) {
    std::vector<double> v;
    for (const VariableResult& r : o.variables)
      v.insert(v.end(), r.percent_change.begin(), r.percent_change.end());
    return v;
  }

  // Largest error, in percentage points, of any percentage-change result.
  double MaxError(const SolveOutcome& o, const testing::ExactSolution& exact) const {
    const Eigen::VectorXd pre = model_->Levels(model_->StartData());
    const std::vector<double> pct = Percents(o);
    double worst = 0;
    for (Eigen::Index j = 0; j < pre.size(); ++j)
      worst = std::max(
          worst, std::abs(pct[static_cast<std::size_t>(j)] - 100 * (exact.levels[j] / pre[j] - 1)));
    return worst;
  }

  DemoInputs inputs_;
  std::unique_ptr<DemoModel> model_;
};

TEST_F(DemoSolve, ExtrapolatedResultsAreAsAccurateAsTheirSummaryClaims) {
  struct Case {
    SolveMethod method;
    std::vector<int> steps;
    double scale;  // of the shocks
  };
  // Gragg 2-4-6 is the default; extrapolated Euler 1-2-3 on a big shock makes claims below
  // six figures, which must hold as well.
  const Case cases[] = {{SolveMethod::kGragg, {2, 4, 6}, 2},
                        {SolveMethod::kGragg, {2, 4, 6}, 20},
                        {SolveMethod::kEuler, {1, 2, 3}, 6}};
  for (const Case& k : cases) {
    SCOPED_TRACE(MethodName(k.method) + " scale " + std::to_string(k.scale));
    const Closure closure = DemoBaseClosure(*model_);
    std::vector<Shock> shocks = BaseShocks(k.scale);
    ASSERT_TRUE(AddShock(shocks, Vars(), "tpow", std::vector<std::string>{"MAN"},
                         ShockKind::kFinalLevel, std::vector<double>{1.0}));
    SolveSettings settings;
    settings.method = k.method;
    settings.steps = k.steps;
    std::vector<std::string> log;
    auto out = Run(closure, shocks, settings, &log);
    ASSERT_TRUE(out) << out.error();
    const auto exact = Exact(closure, shocks);

    ASSERT_EQ(out->attempts.size(), 1u);
    ASSERT_TRUE(out->attempts[0].has_accuracy);
    EXPECT_FALSE(out->has_overall);
    const AccuracyBlock& acc = out->attempts[0].accuracy;
    EXPECT_EQ(acc.variables.Total(), model_->EquationCount());
    EXPECT_EQ(acc.data_all.Total(), model_->StartData().size());

    // Every claim holds against the exact levels solution.
    const Eigen::VectorXd post = PostLevels(*out);
    for (int j = 0; j < model_->ComponentCount(); ++j) {
      const int claimed = acc.variable_figures[static_cast<std::size_t>(j)];
      if (claimed < 0) continue;  // exogenous
      ComponentRef ref = FindComponent(Vars(), j);
      EXPECT_GE(FiguresAgreeing(post[j], exact.levels[j]), claimed)
          << ComponentName(*ref.variable, ref.offset) << " " << post[j] << " vs "
          << exact.levels[j];
    }
    const Eigen::VectorXd exact_data = testing::DataFromLevels(*model_, exact.levels);
    for (Eigen::Index d = 0; d < exact_data.size(); ++d)
      EXPECT_GE(FiguresAgreeing(out->end_data[d], exact_data[d]),
                acc.data_figures[static_cast<std::size_t>(d)])
          << "coefficient " << d;
    // And the claims are worth something: most results have four figures or more.
    EXPECT_GT(acc.variables.AtLeast(4), acc.variables.Total() / 2);
    EXPECT_GT(acc.data_all.AtLeast(4), acc.data_all.Total() / 2);

    // The log holds exactly one summary, as the reader sees it.
    auto read = testing::ReadAccuracyLog(log, 1);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.slots.size(), 1u);
    EXPECT_EQ(read.overall_slot, 0);
    EXPECT_EQ(read.slots[0].variables,
              std::vector<long>(acc.variables.counts.begin(), acc.variables.counts.end()));
    EXPECT_EQ(read.slots[0].data,
              std::vector<long>(acc.data_all.counts.begin(), acc.data_all.counts.end()));
  }
}

TEST_F(DemoSolve, EulerConvergesWithStepsAndJohansenIsTheCrudest) {
  const Closure closure = DemoBaseClosure(*model_);
  const std::vector<Shock> shocks = BaseShocks(2);
  const auto exact = Exact(closure, shocks);
  auto error_of = [&](SolveMethod method, std::vector<int> steps) {
    SolveSettings s;
    s.method = method;
    s.steps = std::move(steps);
    auto out = Run(closure, shocks, s);
    EXPECT_TRUE(out) << out.error();
    return out ? MaxError(*out, exact) : 1e9;
  };
  std::vector<double> euler;
  for (int n : {1, 2, 4, 8, 16}) euler.push_back(error_of(SolveMethod::kEuler, {n}));
  for (std::size_t i = 1; i < euler.size(); ++i) {
    // First order: doubling the steps halves the error.
    const double ratio = euler[i - 1] / euler[i];
    EXPECT_GT(ratio, 1.6) << "steps " << (1 << i);
    EXPECT_LT(ratio, 2.6) << "steps " << (1 << i);
  }
  const double johansen = error_of(SolveMethod::kJohansen, {1});
  EXPECT_GT(johansen, euler[2]);
  EXPECT_GT(johansen, 0.01);  // a linear answer to a shock this size is visibly off
  EXPECT_LT(error_of(SolveMethod::kEuler, {3, 4, 5}), euler.back() / 10);
  EXPECT_LT(error_of(SolveMethod::kMidpoint, {2, 4, 6}), euler.back() / 100);
  EXPECT_LT(error_of(SolveMethod::kGragg, {2, 4, 6}), euler.back() / 100);
  EXPECT_LT(error_of(SolveMethod::kGragg, {2, 4}), euler.back() / 10);
}

TEST_F(DemoSolve, RerunUnderThePolicyClosureReproducesTheBase) {
  const std::vector<Shock> base_shocks = BaseShocks(1.5);
  auto base = Run(DemoBaseClosure(*model_), base_shocks, SolveSettings{});
  ASSERT_TRUE(base) << base.error();

  // The Rerun takes the Base's productivity as a shock, the rest of its shocks unchanged.
  std::vector<Shock> rerun_shocks;
  for (const Shock& s : base_shocks)
    if (s.component.variable != "y") rerun_shocks.push_back(s);
  const VariableResult* a = FindResult(*base, "a");
  ASSERT_NE(a, nullptr);
  ASSERT_TRUE(
      AddShock(rerun_shocks, Vars(), "a", kAll, ShockKind::kPercentChange, a->percent_change));
  const Closure policy_closure = DemoPolicyClosure(*model_);
  auto rerun = Run(policy_closure, rerun_shocks, SolveSettings{});
  ASSERT_TRUE(rerun) << rerun.error();

  const Eigen::VectorXd base_post = PostLevels(*base), rerun_post = PostLevels(*rerun);
  for (int j = 0; j < model_->ComponentCount(); ++j) {
    ComponentRef ref = FindComponent(Vars(), j);
    EXPECT_GE(FiguresAgreeing(base_post[j], rerun_post[j]), 5)
        << ComponentName(*ref.variable, ref.offset);
  }
  const VariableResult* y = FindResult(*rerun, "y");
  ASSERT_NE(y, nullptr);
  EXPECT_FALSE(y->exogenous[0]);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(y->percent_change[i], base_shocks[i].value, 1e-4);

  // The Policy adds a subsidy to manufacturing, which draws resources into it.
  std::vector<Shock> policy_shocks = rerun_shocks;
  ASSERT_TRUE(AddShock(policy_shocks, Vars(), "tpow", std::vector<std::string>{"MAN"},
                       ShockKind::kShock, std::vector<double>{-5}));
  auto policy = Run(policy_closure, policy_shocks, SolveSettings{});
  ASSERT_TRUE(policy) << policy.error();
  EXPECT_GT(FindResult(*policy, "y")->percent_change[1], y->percent_change[1]);
  EXPECT_GT(FindResult(*policy, "l")->percent_change[1],
            FindResult(*rerun, "l")->percent_change[1]);
  EXPECT_LT(FindResult(*policy, "p")->percent_change[1],
            FindResult(*rerun, "p")->percent_change[1]);
}

TEST_F(DemoSolve, SubintervalsWriteOneSummaryEachAndAnOverallOne) {
  const Closure closure = DemoBaseClosure(*model_);
  const std::vector<Shock> shocks = BaseShocks(3);
  SolveSettings s;
  s.subintervals = 3;
  std::vector<std::string> log;
  auto out = Run(closure, shocks, s, &log);
  ASSERT_TRUE(out) << out.error();
  EXPECT_EQ(out->subintervals_used, 3);
  ASSERT_TRUE(out->has_overall);
  auto read = testing::ReadAccuracyLog(log, 1);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.slots.size(), 4u);
  EXPECT_EQ(read.overall_slot, 4);
  const auto exact = Exact(closure, shocks);
  const Eigen::VectorXd post = PostLevels(*out);
  for (int j = 0; j < model_->ComponentCount(); ++j) {
    const int claimed = out->overall.variable_figures[static_cast<std::size_t>(j)];
    if (claimed >= 0) {
      EXPECT_GE(FiguresAgreeing(post[j], exact.levels[j]), claimed) << j;
    }
  }
  // Three subintervals are more accurate than one.
  auto one = Run(closure, shocks, SolveSettings{});
  ASSERT_TRUE(one);
  EXPECT_LT(MaxError(*out, exact), MaxError(*one, exact));

  // Two solutions extrapolate but write no summary.
  log.clear();
  s.steps = {2, 4};
  ASSERT_TRUE(Run(closure, shocks, s, &log));
  EXPECT_TRUE(testing::ReadAccuracyLog(log, 1).slots.empty());
}

// Extrapolated Euler 1-2-3: rough enough on big shocks to miss demanding targets.
SolveSettings Automatic(int figures, int percent, double min_length, bool stop) {
  SolveSettings s;
  s.method = SolveMethod::kEuler;
  s.steps = {1, 2, 3};
  s.automatic_accuracy = true;
  s.auto_accuracy.subintervals = 1;
  s.auto_accuracy.figures = figures;
  s.auto_accuracy.percent = percent;
  s.auto_accuracy.min_subinterval_length = min_length;
  s.auto_accuracy.stop_on_failure = stop;
  s.auto_accuracy.criterion = AccuracyCriterion::kBoth;
  return s;
}

TEST_F(DemoSolve, AutomaticAccuracyRedoesASubintervalThatMissesTheTarget) {
  const Closure closure = DemoBaseClosure(*model_);
  const std::vector<Shock> shocks = BaseShocks(6);
  std::vector<std::string> log;
  auto out = Run(closure, shocks, Automatic(5, 90, 0.001, true), &log);
  ASSERT_TRUE(out) << out.error();

  ASSERT_GE(out->attempts.size(), 2u);
  EXPECT_FALSE(out->attempts[0].accepted);
  EXPECT_EQ(out->attempts[1].number, 1);
  EXPECT_LT(out->attempts[1].length, out->attempts[0].length);
  const std::string wanted = " Accuracy for subinterval 1 not sufficient - accuracy was ";
  EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                          [&](const std::string& l) { return l.starts_with(wanted); }));
  std::vector<const SubintervalRecord*> accepted;
  for (const SubintervalRecord& r : out->attempts) {
    const double got =
        std::min(PercentAccurate(r.accuracy.variables, 5), PercentAccurate(r.accuracy.data_all, 5));
    EXPECT_EQ(r.accepted, got >= 90) << "subinterval " << r.number;
    if (r.accepted) accepted.push_back(&r);
  }
  ASSERT_EQ(static_cast<int>(accepted.size()), out->subintervals_used);
  double covered = 0;
  for (const SubintervalRecord* r : accepted) covered += r->length;
  EXPECT_NEAR(covered, 1.0, 1e-12);

  // The reader finds the redone blocks in their own slots and the overall one last.
  auto read = testing::ReadAccuracyLog(log, 1);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.slots.size(), accepted.size() + 1);
  EXPECT_EQ(read.overall_slot, static_cast<int>(accepted.size()) + 1);
  for (std::size_t i = 0; i < accepted.size(); ++i)
    EXPECT_EQ(read.slots[i].variables,
              std::vector<long>(accepted[i]->accuracy.variables.counts.begin(),
                                accepted[i]->accuracy.variables.counts.end()));

  const auto exact = Exact(closure, shocks);
  const Eigen::VectorXd post = PostLevels(*out);
  for (int j = 0; j < model_->ComponentCount(); ++j)
    EXPECT_GE(FiguresAgreeing(post[j], exact.levels[j]), 5) << j;
}

TEST_F(DemoSolve, AutomaticAccuracyAtTheMinimumLengthStopsOrContinues) {
  const Closure closure = DemoBaseClosure(*model_);
  const std::vector<Shock> shocks = BaseShocks(10);
  std::vector<std::string> log;
  auto stopped = Run(closure, shocks, Automatic(6, 100, 0.5, true), &log);
  ASSERT_FALSE(stopped);
  EXPECT_NE(stopped.error().find("Required accuracy not reached in a subinterval of the minimum "
                                 "length 0.5"),
            std::string::npos)
      << stopped.error();
  EXPECT_TRUE(stopped.error().ends_with("[Solve]"));

  log.clear();
  auto kept = Run(closure, shocks, Automatic(6, 100, 0.5, false), &log);
  ASSERT_TRUE(kept) << kept.error();
  EXPECT_EQ(kept->subintervals_used, 2);
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
    return l.find("its accuracy is kept although it is below the requirement") != std::string::npos;
  }));
}

TEST_F(DemoSolve, InvalidClosuresAndShocksGiveClearErrors) {
  struct Case {
    const char* what;
    std::function<void(Closure&, std::vector<Shock>&)> spoil;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"one exogenous short",
       [&](Closure& c, std::vector<Shock>& s) {
         s.pop_back();  // the savr shock
         ASSERT_TRUE(Endogenous(c, Vars(), "savr"));
       },
       "Wrong number of exogenous variables: the closure has 11 exogenous components but the "
       "model needs 12 (51 components, 39 equations)[Solve]"},
      {"one exogenous too many",
       [&](Closure& c, std::vector<Shock>&) {
         ASSERT_TRUE(Exogenous(c, Vars(), "a", std::vector<std::string>{"SER"}));
       },
       "the closure has 13 exogenous components"},
      {"no nominal anchor",
       [&](Closure& c, std::vector<Shock>&) {
         ASSERT_TRUE(Swap(c, Vars(), "pcpi", kAll, "qinv", kAll));
       },
       "Singular matrix: the exogenous variables of the closure do not determine the "
       "endogenous ones (look at "},
      {"unknown variable",
       [&](Closure& c, std::vector<Shock>&) {
         c.exogenous.push_back({"zz", ""});
       },
       "Unknown variable \"zz\"[ExogenousFlags][Solve]"},
      {"shock to an endogenous variable",
       [&](Closure&, std::vector<Shock>& s) {
         ASSERT_TRUE(AddShock(s, Vars(), "a", kAll, ShockKind::kShock, std::vector<double>{1}));
       },
       "Variable a(AGR) is shocked but is not exogenous[ShockPercents][Solve]"},
  };
  for (SolveMethod method : {SolveMethod::kJohansen, SolveMethod::kGragg}) {
    for (const Case& k : cases) {
      Closure closure = DemoBaseClosure(*model_);
      std::vector<Shock> shocks = BaseShocks();
      k.spoil(closure, shocks);
      SolveSettings s;
      s.method = method;
      std::vector<std::string> log;
      auto out = Run(closure, shocks, s, &log);
      ASSERT_FALSE(out) << k.what;
      EXPECT_NE(out.error().find(k.message), std::string::npos) << k.what << ": " << out.error();
      EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& l) {
        return l.find("ended normally") != std::string::npos;
      }));
    }
  }
}

TEST(SolveSettingsCheck, StepRules) {
  struct Case {
    SolveMethod method;
    std::vector<int> steps;
    bool automatic;
    const char* message;  // empty: accepted
  };
  const Case cases[] = {
      {SolveMethod::kGragg, {2, 4, 6}, true, ""},
      {SolveMethod::kGragg, {2, 3, 6}, false, "Steps must be ALL odd or ALL even"},
      {SolveMethod::kGragg, {4, 4, 6}, false, "Sequence of steps must be increasing"},
      {SolveMethod::kMidpoint, {1}, false, "First solution must have 2 or more steps"},
      {SolveMethod::kEuler, {3, 5}, false, ""},
      {SolveMethod::kEuler, {3, 5}, true, "Automatic accuracy needs 3 solutions"},
      {SolveMethod::kJohansen, {1, 3, 5}, false, ""},
      {SolveMethod::kEuler, {}, false, "Number of solutions must be 1, 2 or 3"},
      {SolveMethod::kEuler, {0}, false, "Number of steps must be at least 1"},
  };
  for (const Case& k : cases) {
    SolveSettings s;
    s.method = k.method;
    s.steps = k.steps;
    s.automatic_accuracy = k.automatic;
    Status st = CheckSolveSettings(s);
    if (*k.message == 0) {
      EXPECT_TRUE(st) << st.error();
    } else {
      ASSERT_FALSE(st) << k.message;
      EXPECT_NE(st.error().find(k.message), std::string::npos) << st.error();
    }
  }
  SolveSettings s;
  s.subintervals = 0;
  EXPECT_FALSE(CheckSolveSettings(s));
}

}  // namespace
}  // namespace yl::model
