#include "cmf/sol_method.h"

#include <algorithm>
#include <cmath>

#include "core/internal_error.h"
#include "core/number_text.h"
#include "core/text_util.h"

namespace yl {

TSolMethod StartupSolMethod() { return TSolMethod{}; }

TSolMethod GraggDefaultSolMethod() {
  TSolMethod m;
  m.Method = kGragg;
  m.NumSolutions = 3;
  m.Steps = {2, 4, 6};
  m.Subintervals = 1;
  m.AutoAccuracy = false;
  return m;
}

std::string SolMethodName(int method) {
  switch (method) {
    case kJohansen:
      return "Johansen";
    case kEuler:
      return "Euler";
    case kGragg:
      return "Gragg";
    case kMidpoint:
      return "Midpoint";
  }
  throw InternalError("Unknown solution method " + std::to_string(method));
}

std::string CriterionName(int criterion) {
  switch (criterion) {
    case kCriterionData:
      return "Data";
    case kCriterionSolution:
      return "Solution";
    case kCriterionBoth:
      return "Both";
  }
  throw InternalError("Unknown accuracy criterion " + std::to_string(criterion));
}

std::string FormatExponentReal(double value) {
  // One digit before and one after the point, a signed four-digit exponent.
  std::string s = FormatReal(std::fabs(value), RealFormat::Exponent(1));  // "1.0E-03"
  std::size_t e = s.find('E');
  if (e == std::string::npos || !std::isfinite(value)) return s;
  std::string digits = s.substr(e + 2);
  return std::string(value < 0 ? "-" : " ") + s.substr(0, e) + "E" + s[e + 1] +
         PadLeft(digits, 4, '0');
}

std::vector<std::string> SolMethodCmfLines(const TSolMethod& m, const TAutoAccuracy& aa) {
  std::vector<std::string> lines;
  lines.push_back("Method = " + SolMethodName(m.Method) + ";");
  if (m.Method == kJohansen) {
    lines.push_back("Steps = 1;");
  } else {
    CheckIndex(m.NumSolutions, 1, 3, "number of solutions");
    std::string steps = "Steps =";
    for (int i = 0; i < m.NumSolutions; ++i) steps += " " + std::to_string(m.Steps[i]);
    lines.push_back(steps + ";");
  }
  int subintervals = m.AutoAccuracy ? aa.Subintervals : m.Subintervals;
  lines.push_back("subintervals = " + std::to_string(subintervals) + ";");
  if (m.AutoAccuracy) {
    lines.push_back("automatic accuracy = yes;");
    lines.push_back("accuracy figures = " + std::to_string(aa.Figures) + ";");
    lines.push_back("accuracy percent = " + std::to_string(aa.Percent) + ";");
    lines.push_back("minimum subinterval length = " + FormatExponentReal(aa.MinSubintervalLength) +
                    ";");
    lines.push_back(aa.StopOnFailure ? "minimum subinterval fails = stop;"
                                     : "minimum subinterval fails = continue;");
    lines.push_back("accuracy criterion = " + CriterionName(aa.Criterion) + ";");
  } else {
    lines.push_back("automatic accuracy = no;");
  }
  return lines;
}

std::string SolMethodDescription(const TSolMethod& m) {
  std::string d = SolMethodName(m.Method) + ": ";
  if (m.Method == kJohansen) {
    d += "1 step";
  } else {
    CheckIndex(m.NumSolutions, 1, 3, "number of solutions");
    for (int i = 0; i < m.NumSolutions; ++i) {
      if (i > 0) d += "-";
      d += std::to_string(m.Steps[i]);
    }
    d += " steps";
    if (m.NumSolutions >= 2) d += " extrapolation";
  }
  if (m.AutoAccuracy) {
    d += " (Automatic Accuracy)";
  } else if (m.Subintervals > 1 && m.NumSolutions == 3) {
    d += " (" + std::to_string(m.Subintervals) + " subintervals)";
  }
  return d;
}

bool SolMethodChanged(const SolMethodSetting& before, const SolMethodSetting& after) {
  const TSolMethod& a = before.Method;
  const TSolMethod& b = after.Method;
  if (a.Method != b.Method) return true;
  if (b.Method != kJohansen) {
    if (a.NumSolutions != b.NumSolutions) return true;
    int used = std::min(std::max(b.NumSolutions, 1), 3);
    for (int i = 0; i < used; ++i) {
      if (a.Steps[i] != b.Steps[i]) return true;
    }
  }
  if (a.AutoAccuracy != b.AutoAccuracy) return true;
  if (!b.AutoAccuracy && a.Subintervals != b.Subintervals) return true;
  return !(before.Accuracy == after.Accuracy);
}

bool AltMethodApplies(const TSimRecord& rec, int period) {
  return rec.AltMethodInUse && rec.AltMethodYears[period];
}

const SolMethodSetting& MethodForPeriod(const SolMethodState& state, const TSimRecord& rec,
                                        int period) {
  return AltMethodApplies(rec, period) ? state.Alternative : state.Normal;
}

}  // namespace yl
