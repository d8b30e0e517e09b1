#pragma once
// The comma-separated results tables every tool writes and reads: a few "key,value"
// rows that say what the table holds, one heading row, then one row per component
// (docs/tool-files.md, "Results tables").

#include <string>
#include <utility>
#include <vector>

#include "core/status.h"

namespace yl::toolfiles {

// The table kinds, as written in the first row.
inline constexpr const char* kKindYear = "year";
inline constexpr const char* kKindYearOnYear = "year-on-year";
inline constexpr const char* kKindCumulative = "cumulative";
inline constexpr const char* kKindYearOnYearDiff = "year-on-year differences";
inline constexpr const char* kKindCumulativeDiff = "cumulative differences";

struct TableRow {
  std::string variable;
  std::string element;  // empty for a scalar variable
  char type = 'p';      // 'p' percentage change, 'c' ordinary change
  std::string label;
  std::vector<double> values;  // one per column
  std::string Component() const;
};

struct ResultsTable {
  std::string kind;
  std::vector<std::pair<std::string, std::string>> info;  // rows after the kind row
  std::vector<std::string> columns;                       // value headings (years)
  std::vector<TableRow> rows;
};

// One CSV line: fields holding a comma, a double quote or a leading/trailing blank are
// quoted, with inner quotes doubled.
std::string CsvLine(const std::vector<std::string>& fields);
// The fields of one CSV line; false for an unclosed quote.
bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields);

// Seven significant digits: what a single-precision result holds.
std::string FormatValue(double v);

std::string FormatTable(const ResultsTable& table);
// Errors name the file and the line: "{path}, line {n}: {problem}".
Result<ResultsTable> ParseTable(const std::string& text, const std::string& path);
Result<ResultsTable> ReadTableFile(const std::string& path);

}  // namespace yl::toolfiles
