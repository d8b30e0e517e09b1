#pragma once
// The arithmetic of results assembly. A percentage change compounds (1 + x/100 per
// period) and an ordinary change adds up; a difference between two runs is the
// percentage deviation of the Policy's level from the other run's level for a
// percentage-change variable, and the plain difference for an ordinary-change one.

#include <functional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl::toolfiles {

// Cumulative results from year-on-year ones: element t covers periods 0..t.
std::vector<double> Cumulate(const std::vector<double>& year_on_year, char type);
// Cumulative result of two consecutive spans: `so_far` then `next`.
double Chain(double so_far, double next, char type);
// Policy against the other run, both measured from the same starting level.
double Deviation(double policy, double other, char type);

// What to do with a result that is not a finite single-precision number: fail, or (with
// "Arithmetic problems not fatal") put 0 in its place and tell the log.
class ArithmeticGuard {
 public:
  ArithmeticGuard(bool not_fatal, std::function<void(const std::string&)> log)
      : not_fatal_(not_fatal), log_(std::move(log)) {}
  // `where` names the component and column, e.g. "y(AGR), 2024".
  Status Check(double& value, const std::string& where);
  int problems() const { return problems_; }

 private:
  bool not_fatal_;
  std::function<void(const std::string&)> log_;
  int problems_ = 0;
};

}  // namespace yl::toolfiles
