#pragma once
// The multi-step solution method passed to the model program: the method records, their
// command-file lines, the description shown to the user, and which method a period uses.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_record.h"

namespace yl {

enum SolMethodKind : int { kJohansen = 1, kEuler = 2, kGragg = 3, kMidpoint = 4 };
inline constexpr int kNumSolMethodKinds = 4;

enum AccuracyCriterion : std::uint8_t {
  kCriterionData = 0,
  kCriterionSolution = 1,
  kCriterionBoth = 2
};

struct TSolMethod {
  int Method = kJohansen;
  int NumSolutions = 1;               // 1..3; always 1 for Johansen
  std::array<int, 3> Steps{1, 3, 5};  // only the first NumSolutions are used
  int Subintervals = 1;               // when automatic accuracy is off; at least 1
  bool AutoAccuracy = false;          // only possible with 3 solutions
  bool operator==(const TSolMethod&) const = default;
};

struct TAutoAccuracy {
  int Percent = 80;
  int Subintervals = 2;
  int Figures = 4;
  float MinSubintervalLength = 0.001f;
  bool StopOnFailure = true;
  std::uint8_t Criterion = kCriterionData;
  bool operator==(const TAutoAccuracy&) const = default;
};

// A method with the automatic-accuracy settings that go with it.
struct SolMethodSetting {
  TSolMethod Method;
  TAutoAccuracy Accuracy;
  bool operator==(const SolMethodSetting&) const = default;
};

// The normal method and the alternative one used in the periods flagged for it.
// Both start as the start-up method (a default TSolMethod).
struct SolMethodState {
  SolMethodSetting Normal;
  SolMethodSetting Alternative;
  bool operator==(const SolMethodState&) const = default;
};

// Johansen, 1 solution, steps 1, 3, 5: the method at start-up.
TSolMethod StartupSolMethod();
// Gragg, 3 solutions, steps 2, 4, 6: used when a saved method is not usable.
TSolMethod GraggDefaultSolMethod();

// "Johansen", "Euler", "Gragg", "Midpoint"; InternalError for another number.
std::string SolMethodName(int method);
// "Data", "Solution", "Both"; InternalError for another value.
std::string CriterionName(int criterion);

// The command-file statements of a method, in their fixed order.
std::vector<std::string> SolMethodCmfLines(const TSolMethod& m, const TAutoAccuracy& aa);
// A real in the exponent form of command files: 0.001 gives " 1.0E-0003".
std::string FormatExponentReal(double value);

// "Gragg: 2-4-6 steps extrapolation", "Johansen: 1 step", "... (Automatic Accuracy)".
std::string SolMethodDescription(const TSolMethod& m);

// The dialog's notion of a change: kind, (non-Johansen) count or a used step, the
// automatic-accuracy flag, (without automatic accuracy) subintervals, or any field of
// the automatic-accuracy records.
bool SolMethodChanged(const SolMethodSetting& before, const SolMethodSetting& after);

// Whether period k (1..999) uses the alternative method.
bool AltMethodApplies(const TSimRecord& rec, int period);
// The method that a command file for period k uses.
const SolMethodSetting& MethodForPeriod(const SolMethodState& state, const TSimRecord& rec,
                                        int period);

}  // namespace yl
