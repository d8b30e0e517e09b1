#pragma once
// The per-period solution-method actions of the Closure/Shock page's row menu. Each
// changes the record and says what it did through the Prompter; the caller redraws the
// period labels (a "*" marks a period on the alternative method).

#include <functional>
#include <optional>

#include "cmf/sol_method.h"
#include "core/prompter.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kHelpSolutionMethods = 7010;

// Runs the dialog on a method; returns the new setting when the dialog reported a change.
using SolMethodDialogRunner = std::function<std::optional<SolMethodSetting>(
    const SolMethodSetting& current, bool alternative)>;

// "Which solution method applies to this year?"
void ShowWhichMethodApplies(const TSimRecord& rec, const SolMethodState& state, int period,
                            Prompter& prompter);
// "Use the normal solution method for THIS year"
void UseNormalMethodForPeriod(TSimRecord& rec, int period, Prompter& prompter);
// "Use the alternative solution method for THIS year"
void UseAlternativeMethodForPeriod(TSimRecord& rec, const SolMethodState& state, int period,
                                   Prompter& prompter);
// "What is the alternative solution method?"
void ShowAlternativeMethod(const SolMethodState& state, Prompter& prompter);
// "Specify the alternative solution method"; true when it changed.
bool SpecifyAlternativeMethod(SolMethodState& state, const SolMethodDialogRunner& run_dialog,
                              Prompter& prompter);
// "Use the normal solution method for ALL years"
void UseNormalMethodForAllPeriods(TSimRecord& rec, Prompter& prompter);

// The period's label mark: "*" when the alternative method applies, else "".
const char* AltMethodMark(const TSimRecord& rec, int period);

}  // namespace yl
