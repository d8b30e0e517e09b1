#pragma once
// Reading the results tables the spreadsheet jobs write (docs/tool-files.md, "Results
// tables"): the kind row, "key,value" rows, the heading row "Variable,Element,Type,
// Label,..." and one row per component. The viewer reads files it did not write and may
// be handed anything, so every fault is an error text naming the file and the line.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/status.h"

namespace yl {

struct ResultsCsvRow {
  std::string variable;
  std::string element;  // empty for a scalar variable
  char type = 'p';      // 'p' percentage change, 'c' ordinary change
  std::string label;
  std::vector<double> values;  // one per column
};

struct ResultsCsv {
  std::string kind;  // "cumulative", "year-on-year", "cumulative differences", ...
  std::vector<std::pair<std::string, std::string>> info;
  std::vector<std::string> columns;  // the value headings, usually years
  std::vector<ResultsCsvRow> rows;

  // The columns as years, when every heading is one.
  std::optional<std::vector<int>> Years() const;
  // The row of a component, names compared without regard to case; nullptr when absent.
  const ResultsCsvRow* Find(std::string_view variable, std::string_view element) const;
};

// Does the text begin like a results table (its first row "Results,...")?
bool LooksLikeResultsCsv(std::string_view head);

Result<ResultsCsv> ParseResultsCsv(std::string_view text, const std::string& path);
Result<ResultsCsv> ReadResultsCsv(const std::string& path);

}  // namespace yl
