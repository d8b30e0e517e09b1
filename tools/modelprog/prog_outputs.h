#pragma once
// The files a run leaves besides the data files: the solution file, the environment file,
// and the coefficient files (".slc" at the start of the period, ".udc" at its end). The
// layouts are documented in docs/model-files.md.

#include <string>
#include <vector>

#include "core/status.h"
#include "harfile/har_file.h"
#include "modelcore/closure.h"
#include "modelcore/model_types.h"
#include "modelcore/solver.h"

namespace yl::modelprog {

// What identifies the model: the "auxiliary files" path, its creation stamp and the TAB
// and STI file names ("%none" when there is none).
struct ModelIdentity {
  std::string auxiliary;
  std::string stamp;
  std::string tab;
  std::string sti = "%none";
};

struct SolutionInfo {
  std::string verbal;
  std::string method;  // one-line description
  int year = 0;
  ModelIdentity model;
};

// The year in the last four characters of a verbal description ("autosim BS1B2003"), or 0.
int YearOfDescription(const std::string& verbal);
std::string MethodText(const model::SolveSettings& settings, int subintervals_used);

Result<HarFile> BuildSolutionFile(const std::vector<model::VariableInfo>& vars,
                                  const std::vector<bool>& exogenous,
                                  const model::SolveOutcome& outcome, const SolutionInfo& info);

Result<HarFile> BuildEnvironmentFile(const std::vector<model::VariableInfo>& vars,
                                     const std::vector<bool>& exogenous,
                                     const ModelIdentity& model);
// The exogenous components recorded in an environment file.
Result<std::vector<model::VarComponent>> ReadEnvironmentClosure(const std::string& path);
// NAME with ".en4" added unless it already ends so (any case).
std::string EnvironmentFileName(const std::string& name);

// One file contributing to a coefficient file.
struct CoefficientSource {
  std::string logical;
  const HarFile* file = nullptr;
};
Result<HarFile> BuildCoefficientFile(const std::vector<CoefficientSource>& sources);

}  // namespace yl::modelprog
