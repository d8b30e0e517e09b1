// The forward-looking variant of the demo model in memory: where a solve stands in the
// iterations decides the expectations it starts from, the homotopy carries them to the
// next period's, and the updated files revise them and count the iteration.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "modelcore/demo_model.h"
#include "modelcore/solver.h"

namespace yl::model {
namespace {

using ::testing::HasSubstr;

constexpr int kHorizon = 10;

DataArray Single(const char* header, double value) { return {header, header, header, {}, {value}}; }

DataArray& Array(DataFile& f, const char* header) {
  for (DataArray& a : f.arrays)
    if (a.header == header) return a;
  throw std::runtime_error(header);
}
const std::vector<double>& Values(const DataFile& f, const char* header) {
  const DataArray* a = FindArray(f, header);
  if (!a) throw std::runtime_error(header);
  return a->values;
}

// Expectations for iteration `iteration` and period `period` of the Base. RORG holds
// 0.1 + 0.01 * period for AGR, 0.12 for MAN and 0.09 - 0.002 * period for SER.
DemoInputs ReInputs(int iteration, int period) {
  DemoInputs in = DemoStartData();
  DemoExpectations e;
  std::vector<double> rorg;
  for (int t = 1; t <= kHorizon; ++t) {
    rorg.push_back(0.1 + 0.01 * t);
    rorg.push_back(0.12);
    rorg.push_back(0.09 - 0.002 * t);
  }
  e.rorext = {kRorextFile,
              {{"ADRE", "ADJRE", "Revision weight", {kSectorSet}, {0.5, 0.8, 1.0}},
               {"RORG", "RORGE", "Expected rate of return", {kSectorSet, "YEAR"}, rorg},
               Single("NFIT", 4),
               Single("NRIT", 1),
               Single("HORZ", kHorizon),
               Single("YRPL", 1)}};
  e.iter = {kIterFile, {Single("ITNO", iteration)}};
  e.extra = {kExtraFile, {Single("YEAR", period)}};
  in.expectations = e;
  return in;
}

struct Solved {
  std::unique_ptr<DemoModel> model;
  SolveOutcome outcome;
};

Solved SolveBase(const DemoInputs& in, bool homotopy) {
  auto m = MakeDemoModel(in);
  EXPECT_TRUE(m) << m.error();
  if (!m) return {};
  const auto& vars = (*m)->Variables();
  std::vector<Shock> shocks;
  const std::vector<double> growth = {1.0, 2.5, 3.0};
  EXPECT_TRUE(AddShock(shocks, vars, "y", {}, ShockKind::kShock, growth));
  const std::vector<double> employment = {0.8};
  EXPECT_TRUE(AddShock(shocks, vars, "ltot", {}, ShockKind::kShock, employment));
  if (homotopy) {
    const std::vector<double> move = {kHomotopyShock};
    EXPECT_TRUE(AddShock(shocks, vars, kHomotopyVariable, {}, ShockKind::kShock, move));
  }
  SolveSettings gragg;
  std::vector<std::string> log;
  auto out = Solve(**m, DemoBaseClosure(**m), shocks, gragg, log);
  EXPECT_TRUE(out) << out.error();
  if (!out) return {};
  return {std::move(*m), std::move(*out)};
}

const DataFile& UpdatedFile(const SolveOutcome& o, const char* logical) {
  for (const DataFile& f : o.updated_files)
    if (f.logical_name == logical) return f;
  throw std::runtime_error(logical);
}

TEST(DemoReModel, FirstIterationIsTheOrdinaryDemo) {
  // No expectations formed yet: investors hold the ordinary demo's static ones, so every
  // ordinary variable moves as in the ordinary demo, and the period's expectation
  // becomes the return it realised.
  Solved plain = SolveBase(DemoStartData(), false);
  const DemoInputs in = ReInputs(1, 3);
  Solved re = SolveBase(in, true);
  ASSERT_TRUE(plain.model && re.model);
  EXPECT_EQ(re.model->ComponentCount(), plain.model->ComponentCount() + 1 + 8 * 3);
  EXPECT_EQ(re.model->ComponentCount() - re.model->EquationCount(),
            plain.model->ComponentCount() - plain.model->EquationCount() + 1 + 3 * 3);
  for (const VariableResult& p : plain.outcome.variables) {
    const VariableResult* r = FindResult(re.outcome, p.name);
    ASSERT_NE(r, nullptr) << p.name;
    for (std::size_t i = 0; i < p.percent_change.size(); ++i)
      EXPECT_NEAR(r->percent_change[i], p.percent_change[i], 1e-9) << p.name << " " << i;
  }
  const std::vector<double>& ror = FindResult(re.outcome, "ror")->post_level;
  const std::vector<double>& before = Values(in.expectations->rorext, "RORG");
  const std::vector<double>& after = Values(UpdatedFile(re.outcome, kRorextFile), "RORG");
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i / 3 == 2) {
      EXPECT_NEAR(after[i], ror[i % 3], 1e-12) << i;
    } else {
      EXPECT_EQ(after[i], before[i]) << i;
    }
  }
}

TEST(DemoReModel, LaterIterationsMoveExpectationsToTheNextPeriods) {
  // Period 3 of iteration 2 starts from the expectation for period 3 and ends at the
  // one for period 4, exactly, whatever the path; the period's own expectation moves
  // toward its realised return by ADRE.
  const DemoInputs in = ReInputs(2, 3);
  Solved re = SolveBase(in, true);
  ASSERT_TRUE(re.model);
  const std::vector<double>& rorg = Values(in.expectations->rorext, "RORG");
  const VariableResult* eror = FindResult(re.outcome, "eror");
  const VariableResult* diseq = FindResult(re.outcome, "d_diseq");
  const std::vector<double>& ror = FindResult(re.outcome, "ror")->post_level;
  const std::vector<double>& after = Values(UpdatedFile(re.outcome, kRorextFile), "RORG");
  const std::vector<double> adre = {0.5, 0.8, 1.0};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(eror->pre_level[i], rorg[6 + i], 1e-12);
    EXPECT_NEAR(eror->post_level[i], rorg[9 + i], 1e-7 * rorg[9 + i]);
    // The expectation error: the realised return over the one expected for the period.
    EXPECT_NEAR(diseq->post_level[i], ror[i] / rorg[6 + i], 1e-7);
    EXPECT_NEAR(after[6 + i], rorg[6 + i] + adre[i] * (ror[i] - rorg[6 + i]), 1e-12);
  }
  // Investment goes where returns are expected to rise: AGR's expectation rises from
  // period 3 to 4, SER's falls.
  const VariableResult* qi = FindResult(re.outcome, "qi");
  EXPECT_GT(qi->percent_change[0], qi->percent_change[2]);
  // Without the homotopy the expectations stay where they were.
  Solved still = SolveBase(in, false);
  ASSERT_TRUE(still.model);
  for (double e : FindResult(still.outcome, "eror")->percent_change) EXPECT_NEAR(e, 0, 1e-9);
}

TEST(DemoReModel, TheLastPeriodCountsTheIterationDone) {
  struct Case {
    int iteration, period;
    double itno, year;
  };
  for (const Case& c : {Case{1, 1, 1, 2}, Case{2, 9, 2, 10}, Case{2, kHorizon, 3, kHorizon + 1},
                        Case{7, kHorizon, 8, kHorizon + 1}}) {
    Solved re = SolveBase(ReInputs(c.iteration, c.period), true);
    ASSERT_TRUE(re.model);
    EXPECT_EQ(Values(UpdatedFile(re.outcome, kIterFile), "ITNO"), std::vector<double>{c.itno})
        << c.iteration << " " << c.period;
    EXPECT_EQ(Values(UpdatedFile(re.outcome, kExtraFile), "YEAR"), std::vector<double>{c.year});
  }
}

TEST(DemoReModel, InconsistentIterationFilesAreRefused) {
  struct Case {
    const char* what;
    std::function<void(DemoExpectations&)> spoil;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"period beyond the horizon",
       [](DemoExpectations& e) { Array(e.extra, "YEAR").values = {11}; },
       "Period 11 (header YEAR of EXTRA) is beyond the horizon HORZ (10)"},
      {"horizon beyond RORG", [](DemoExpectations& e) { Array(e.rorext, "HORZ").values = {12}; },
       "The horizon HORZ (12 periods) is longer than RORG (10 periods)"},
      {"period before the run",
       [](DemoExpectations& e) {
         Array(e.rorext, "YRPL").values = {5};
         Array(e.iter, "ITNO").values = {6};
       },
       "Period 3 comes before the first period YRPL (5) of this run"},
      {"Base iteration not from the first period",
       [](DemoExpectations& e) { Array(e.rorext, "YRPL").values = {2}; },
       "Iteration 2 is one of the 4 Base iterations (NFIT) but YRPL is 2, not 1"},
      {"no expectations after the first iteration",
       [](DemoExpectations& e) { Array(e.rorext, "RORG").values[9 + 1] = 0; },
       "The expected rate of return RORG of MAN for period 4 is not positive in iteration 2"},
      {"counter not a whole number",
       [](DemoExpectations& e) { Array(e.iter, "ITNO").values = {2.5}; },
       "Header ITNO of ITER must be a whole number of at least 1, not 2.5"},
      {"revision weight", [](DemoExpectations& e) { Array(e.rorext, "ADRE").values[2] = 0; },
       "Revision weight ADRE of SER must be above 0 and at most 1"},
      {"RORG of one dimension",
       [](DemoExpectations& e) { Array(e.rorext, "RORG").sets.pop_back(); },
       "Header RORG of ROREXT must have two dimensions"},
      {"missing counter", [](DemoExpectations& e) { e.iter.arrays.clear(); },
       "Header ITNO missing from ITER"},
  };
  for (const Case& c : cases) {
    DemoInputs in = ReInputs(2, 3);
    c.spoil(*in.expectations);
    auto m = MakeDemoModel(in);
    ASSERT_FALSE(m) << c.what;
    EXPECT_THAT(m.error(), HasSubstr(c.message)) << c.what;
    EXPECT_THAT(m.error(), HasSubstr("[MakeDemoModel]")) << c.what;
  }
}

}  // namespace
}  // namespace yl::model
