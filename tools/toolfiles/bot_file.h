#pragma once
// BOT files: the shock statements that put the Base's results for a year on the
// variables that are exogenous in the policy closure, in command-file words the model
// program reads (src/cmf/cmf_tokens.h; docs/tool-files.md, "BOT files").

#include <string>
#include <vector>

#include "core/status.h"
#include "toolfiles/solution_data.h"

namespace yl::toolfiles {

// "shock y("AGR","MAN") = 1.5 2 ;" with the values of those components, or without an
// element list when every component is named. Nine significant digits: a
// single-precision result goes over unchanged.
std::string ShockWithValues(const ResultVariable& v, const std::vector<int>& components);
// "shock y("AGR") = file "PATH" header "C001" ;": the header holds the whole variable.
Result<std::string> ShockFromFile(const ResultVariable& v, const std::vector<int>& components,
                                  const std::string& results_file, const std::string& header);

}  // namespace yl::toolfiles
