#pragma once
// The variables of a model as the Header Array files of a run hold them: solution files
// (".sl4"), environment files (".en4") and our results files (".rsl", ".sol"). All share
// the headers VCNM, VCLB, VCSN, STNM and Snnn that describe the variables and sets
// (docs/model-files.md, docs/tool-files.md).

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "harfile/har_file.h"

namespace yl::tool {
class ToolRun;
}

namespace yl::toolfiles {

inline constexpr int kMaxVariables = 999;

struct ResultVariable {
  std::string name;
  std::string label;
  std::string set;                    // empty for a scalar
  std::vector<std::string> elements;  // empty for a scalar
  char type = 'p';                    // 'p' percentage change, 'c' ordinary change
  std::vector<double> values;         // one per component, when the file holds results
  std::vector<bool> exogenous;        // one per component, when the file holds a closure

  int Size() const { return elements.empty() ? 1 : static_cast<int>(elements.size()); }
  std::string ComponentName(int i) const;  // "y(AGR)" or "w"
  // The 0-based component of an element (ignoring case), or -1.
  int ElementIndex(const std::string& element) const;
};

struct ResultsData {
  std::vector<ResultVariable> variables;
  std::string kind;  // results files: "year", "cumulative" or "cumulative differences"
  int first_year = 0;
  int last_year = 0;
  std::vector<std::string> model;  // MODL: auxiliary files, stamp, TAB file, STI file
  std::string verbal;              // VDSC
  std::string method;              // METH

  const ResultVariable* Find(const std::string& name) const;
  int IndexOf(const std::string& name) const;  // 0-based, or -1
};

// The numbered header of variable i (0-based): "C001" for the first.
std::string VariableHeader(int index);

// What a reader requires of a file.
struct ReadWhat {
  bool values = false;   // the Cnnn headers
  bool closure = false;  // the EXOG header
};

// Errors name the file: "Cannot read solution file {path}: {problem}".
Result<ResultsData> ReadModelHar(const std::string& path, const std::string& what_file,
                                 ReadWhat what);
// A solution file given with or without its ".sl4" extension.
Result<ResultsData> ReadSolutionFile(const std::string& path_or_stem, std::string* used_path);
Result<ResultsData> ReadEnvironmentFile(const std::string& path_or_stem, std::string* used_path);
Result<ResultsData> ReadResultsFile(const std::string& path);

// The results file layout as a Header Array file.
Result<HarFile> BuildResultsHar(const ResultsData& data);
// Writes a Header Array output of the run through a temporary name, so that a failure
// never leaves a half-written file under the real name.
Status WriteHarOutput(tool::ToolRun& run, const std::string& path, HarFile& file);

}  // namespace yl::toolfiles
