#pragma once
// Multi-step solution of a percentage-change model: Johansen (one linear solve), Euler,
// Midpoint and Gragg with any step counts, Richardson extrapolation from two or three
// solutions, subintervals, and automatic accuracy.

#include <string>
#include <vector>

#include "core/status.h"
#include "modelcore/accuracy.h"
#include "modelcore/closure.h"
#include "modelcore/linear_model.h"
#include "modelcore/model_types.h"

namespace yl::model {

enum class SolveMethod { kJohansen = 1, kEuler = 2, kGragg = 3, kMidpoint = 4 };
enum class AccuracyCriterion { kData = 0, kSolution = 1, kBoth = 2 };

struct AutoAccuracySettings {
  int percent = 80;
  int subintervals = 2;
  int figures = 4;
  double min_subinterval_length = 0.001;
  bool stop_on_failure = true;
  AccuracyCriterion criterion = AccuracyCriterion::kData;
};

struct SolveSettings {
  SolveMethod method = SolveMethod::kGragg;
  std::vector<int> steps{2, 4, 6};  // one per solution, 1..3 solutions
  int subintervals = 1;             // used when automatic accuracy is off
  bool automatic_accuracy = false;  // needs 3 solutions
  AutoAccuracySettings auto_accuracy;
};

std::string MethodName(SolveMethod method);
Status CheckSolveSettings(const SolveSettings& settings);

struct SubintervalRecord {
  int number = 0;  // 1-based, counting accepted subintervals
  double start = 0, length = 0;
  bool accepted = false;
  bool has_accuracy = false;  // three solutions: `accuracy` is filled
  AccuracyBlock accuracy;
};

struct SolveOutcome {
  std::vector<VariableResult> variables;
  std::vector<DataFile> updated_files;
  std::vector<DataFile> output_files;
  std::vector<SubintervalRecord> attempts;  // every subinterval tried, in order
  int subintervals_used = 0;
  bool has_overall = false;
  AccuracyBlock overall;
  Eigen::VectorXd end_data;  // flattened updated coefficients, before end-of-period formulas
};

// Solves one period. Lines for the solve's log are appended to `log` as the solve
// proceeds (also when it fails).
Result<SolveOutcome> Solve(const LinearModel& model, const Closure& closure,
                           const std::vector<Shock>& shocks, const SolveSettings& settings,
                           std::vector<std::string>& log);

// The result of variable `name` (case-insensitive) or nullptr.
const VariableResult* FindResult(const SolveOutcome& outcome, const std::string& name);

}  // namespace yl::model
