#pragma once
// Closures and shocks, by variable name and element, so that the command-file layer can
// drive them statement by statement ("exogenous", "endogenous", "rest", "swap",
// "shock", "final_level", "change", "percent_change").

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "modelcore/model_types.h"

namespace yl::model {

struct VarComponent {
  std::string variable;
  std::string element;  // empty for a scalar variable
  bool operator==(const VarComponent&) const = default;
};

// The exogenous components in declaration order, plus those declared endogenous
// explicitly (needed by "rest exogenous").
struct Closure {
  std::vector<VarComponent> exogenous;
  std::vector<VarComponent> endogenous;
};

// `elements` empty means every component of the variable. Names are matched without
// regard to case and stored with the model's spelling.
Status Exogenous(Closure& closure, const std::vector<VariableInfo>& vars, std::string_view variable,
                 std::span<const std::string> elements = {});
Status Endogenous(Closure& closure, const std::vector<VariableInfo>& vars,
                  std::string_view variable, std::span<const std::string> elements = {});
// "rest exogenous" (rest_exogenous true) or "rest endogenous": every component not yet
// named in either list.
void Rest(Closure& closure, const std::vector<VariableInfo>& vars, bool rest_exogenous);
// "swap a = b": the components of `out` (exogenous) become endogenous and those of `in`
// (endogenous) take their places in the exogenous list, pair by pair.
Status Swap(Closure& closure, const std::vector<VariableInfo>& vars, std::string_view out,
            std::span<const std::string> out_elements, std::string_view in,
            std::span<const std::string> in_elements);

// Flags per flat component; fails on an unknown component or a repeated one.
Result<std::vector<bool>> ExogenousFlags(const Closure& closure,
                                         const std::vector<VariableInfo>& vars);

enum class ShockKind { kShock, kFinalLevel, kChange, kPercentChange };

struct Shock {
  VarComponent component;
  ShockKind kind = ShockKind::kShock;
  double value = 0;
};

// Appends shocks to `variable`: one value for every listed component, or one value per
// component in order.
Status AddShock(std::vector<Shock>& shocks, const std::vector<VariableInfo>& vars,
                std::string_view variable, std::span<const std::string> elements, ShockKind kind,
                std::span<const double> values);

// Percentage changes of the exogenous components (zero when not shocked), given their
// start levels. A later shock to the same component replaces an earlier one.
Result<std::vector<double>> ShockPercents(const std::vector<Shock>& shocks,
                                          const std::vector<VariableInfo>& vars,
                                          const std::vector<bool>& exogenous,
                                          std::span<const double> pre_levels);

}  // namespace yl::model
