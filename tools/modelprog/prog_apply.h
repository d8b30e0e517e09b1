#pragma once
// Applying a command file's closure and shock statements to a model: the closure as a list
// of exogenous components, the shocks as one percentage change per shocked component.

#include <string>
#include <vector>

#include "core/status.h"
#include "modelcore/closure.h"
#include "modelcore/linear_model.h"
#include "modelprog/prog_cmf.h"

namespace yl::modelprog {

// A relative name is looked for in the current directory, then beside the command file.
std::string ResolveBesideCommandFile(const std::string& name, const std::string& cmf_path);

Result<model::Closure> ApplyClosure(const CommandFile& cmf,
                                    const std::vector<model::VariableInfo>& vars);

// Every shocked component once, as a percentage change ("shock" kind), from the
// statements in order: later shocks replace earlier ones, "ashock" compounds on top.
Result<std::vector<model::Shock>> ResolveShocks(const CommandFile& cmf,
                                                const model::LinearModel& model,
                                                const std::vector<bool>& exogenous);

}  // namespace yl::modelprog
