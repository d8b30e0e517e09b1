#pragma once
// Test helpers: the demo model's levels equations solved directly by Newton's method, and
// a reader of accuracy summaries in the solve log that follows the main program's rules.

#include <Eigen/Dense>
#include <string>
#include <vector>

#include "modelcore/demo_model.h"

namespace yl::model::testing {

// Levels of every component (in the model's component order) that solve the levels
// equations with the exogenous components at `target` (other entries ignored). Also
// returns the largest residual of the levels equations at the starting levels, which must
// be zero for balanced data.
struct ExactSolution {
  Eigen::VectorXd levels;
  double start_residual = 0;
  double final_residual = 0;
  int iterations = 0;
};
ExactSolution SolveLevelsExactly(const DemoInputs& inputs, const LinearModel& model,
                                 const std::vector<bool>& exogenous, const Eigen::VectorXd& target);

// Exact levels for a closure and shocks given as percentage changes per component.
ExactSolution ExactForPercents(const DemoInputs& inputs, const LinearModel& model,
                               const std::vector<bool>& exogenous,
                               const std::vector<double>& percents);

// The updated coefficients (flattened as in the model) implied by levels `x`.
Eigen::VectorXd DataFromLevels(const LinearModel& model, const Eigen::VectorXd& x);

// One slot of a summary as the main program reads it.
struct ReadSlot {
  std::vector<long> variables;  // seven counts
  std::vector<long> data;       // seven counts, empty when absent
};
struct ReadSummary {
  std::vector<ReadSlot> slots;  // slots 1..n
  int overall_slot = 0;         // 0: none
  std::string error;            // empty on success
};
// `updated_files` is U, the number of updated data files.
ReadSummary ReadAccuracyLog(const std::vector<std::string>& lines, int updated_files);

}  // namespace yl::model::testing
