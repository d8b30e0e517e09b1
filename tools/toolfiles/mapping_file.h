#pragma once
// Variable lists in the results-mapping format (docs/model-files.md): one variable a
// line, its name the first word; "!" starts a comment. Our own extension
// (docs/tool-files.md): "NAME : E1 E2 ..." limits the entry to those elements, which
// is how Ambix lists a variable that is only partly exogenous.

#include <string>
#include <vector>

#include "core/status.h"
#include "toolfiles/solution_data.h"

namespace yl::toolfiles {

struct MapEntry {
  std::string name;
  std::vector<std::string> elements;  // empty: every component
  int line = 0;
};

Result<std::vector<MapEntry>> ParseMapping(const std::vector<std::string>& lines,
                                           const std::string& path);
Result<std::vector<MapEntry>> ReadMappingFile(const std::string& path);

// The 0-based components of the variable an entry names; errors name the map file.
Result<std::vector<int>> ComponentsOf(const MapEntry& entry, const ResultVariable& v,
                                      const std::string& map_path);

// The map of the exogenous variables of a closure (variables with at least one
// exogenous component, in model order).
std::string FormatExogenousMap(const ResultsData& environment, const std::string& source);

}  // namespace yl::toolfiles
