#include "toolfiles/results_math.h"

#include <cfloat>
#include <cmath>

namespace yl::toolfiles {

double Chain(double so_far, double next, char type) {
  if (type == 'c') return so_far + next;
  return 100.0 * ((1.0 + so_far / 100.0) * (1.0 + next / 100.0) - 1.0);
}

std::vector<double> Cumulate(const std::vector<double>& year_on_year, char type) {
  std::vector<double> out;
  out.reserve(year_on_year.size());
  double acc = 0;
  for (double x : year_on_year) {
    acc = Chain(acc, x, type);
    out.push_back(acc);
  }
  return out;
}

double Deviation(double policy, double other, char type) {
  if (type == 'c') return policy - other;
  // Division by a zero level gives an infinity, which the guard catches.
  return 100.0 * ((1.0 + policy / 100.0) / (1.0 + other / 100.0) - 1.0);
}

Status ArithmeticGuard::Check(double& value, const std::string& where) {
  if (std::isfinite(value) && std::fabs(value) <= FLT_MAX) return Ok();
  ++problems_;
  if (!not_fatal_) {
    return Fail("Arithmetic problem for " + where +
                ": the result is not a finite number (answer \"anf\" makes this not fatal)");
  }
  if (log_) log_("Arithmetic problem for " + where + ": the result is set to 0");
  value = 0;
  return Ok();
}

}  // namespace yl::toolfiles
