#pragma once
// One component's results over the years for the Base, the Base Rerun and the Policy,
// from the three runs' cumulative results tables, and the Policy's deviation.
//
// The Rerun and the Policy start later than the Base, from the Base's data at the end
// of the year before, and their tables cumulate from there. On one chart the three must
// share a starting point, so their values are chained onto the Base's at that year:
// every plotted value is then the change since the start of the Base's first year, and
// each later run begins with that year at the Base's value, where it branches off.
// The deviation compares the Policy with the Base Rerun when there is one (the Rerun
// repeats the Base under the Policy's closure, so the difference is the policy's effect
// alone, as the differences tables measure it), otherwise with the Base.

#include <optional>
#include <string>
#include <vector>

#include "app/viewer/results_csv.h"
#include "core/status.h"

namespace yl {

// The three runs' cumulative results tables; "" for a run without one.
struct SeriesSources {
  std::string base;
  std::string rerun;
  std::string policy;
  bool Empty() const { return base.empty() && rerun.empty() && policy.empty(); }
  bool operator==(const SeriesSources&) const = default;
};

// The three tables as read. A missing or unreadable file leaves its run out, with the
// reason among the problems.
struct SeriesData {
  std::optional<ResultsCsv> base;
  std::optional<ResultsCsv> rerun;
  std::optional<ResultsCsv> policy;
  std::vector<std::string> problems;
  bool Empty() const { return !base && !rerun && !policy; }
};
SeriesData ReadSeriesData(const SeriesSources& sources);

// A component that can be plotted, in the order of the first table that has it.
struct SeriesComponent {
  std::string variable;
  std::string element;  // "" for a scalar
  std::string label;
  std::string Name() const;  // "y(MAN)" or "w"
};
std::vector<SeriesComponent> SeriesComponents(const SeriesData& data);

struct RunSeries {
  std::string name;  // "Base", "Base Rerun", "Policy", or "Policy minus Base Rerun"
  std::vector<int> years;
  std::vector<double> values;
};

struct SeriesChart {
  std::string variable;
  std::string element;
  std::string label;
  char type = 'p';
  int from_year = 0;            // the values are changes since the start of this year
  std::vector<RunSeries> runs;  // those whose table has the component
  std::optional<RunSeries> deviation;
  std::string compared_with;       // "Base Rerun" or "Base"; "" without a deviation
  std::vector<std::string> notes;  // what could not be shown, and why

  std::string Title() const;               // "y(MAN): Output volume"
  std::string ValueAxisTitle() const;      // "% change since the start of 2021"
  std::string DeviationTitle() const;      // "Policy minus Base Rerun"
  std::string DeviationAxisTitle() const;  // "% deviation" or "Difference"
};

// Fails when no table has the component or a table's columns are not years.
Result<SeriesChart> MakeSeriesChart(const SeriesData& data, const std::string& variable,
                                    const std::string& element);

}  // namespace yl
