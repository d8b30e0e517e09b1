#include "app/viewer/results_series.h"

#include <algorithm>

#include "core/text_util.h"

namespace yl {

namespace {

constexpr const char* kBaseName = "Base";
constexpr const char* kRerunName = "Base Rerun";
constexpr const char* kPolicyName = "Policy";

struct RunTable {
  const char* name;
  const std::optional<ResultsCsv>* table;
};

std::vector<RunTable> RunTables(const SeriesData& data) {
  return {{kBaseName, &data.base}, {kRerunName, &data.rerun}, {kPolicyName, &data.policy}};
}

void ReadOne(const std::string& path, const char* run, std::optional<ResultsCsv>& out,
             std::vector<std::string>& problems) {
  if (path.empty()) return;
  auto table = ReadResultsCsv(path);
  if (!table) {
    problems.push_back(std::string("The ") + run + "'s results: " + table.error());
  } else if (table->kind != "cumulative") {
    problems.push_back(std::string("The ") + run + "'s results: " + path +
                       " holds results of kind \"" + table->kind + "\", not cumulative ones");
  } else {
    out = std::move(*table);
  }
}

// Cumulative changes over two stretches joined into one: the start of the second is the
// end of the first.
double Chain(char type, double first, double second) {
  if (type == 'c') return first + second;
  return 100 * ((1 + first / 100) * (1 + second / 100) - 1);
}

// How far the Policy's level is from the other run's, both from the same start.
std::optional<double> Deviation(char type, double policy, double other) {
  if (type == 'c') return policy - other;
  if (1 + other / 100 == 0) return std::nullopt;
  return 100 * ((1 + policy / 100) / (1 + other / 100) - 1);
}

std::optional<double> ValueIn(const RunSeries& s, int year) {
  auto it = std::find(s.years.begin(), s.years.end(), year);
  if (it == s.years.end()) return std::nullopt;
  return s.values[static_cast<std::size_t>(it - s.years.begin())];
}

}  // namespace

SeriesData ReadSeriesData(const SeriesSources& sources) {
  SeriesData data;
  ReadOne(sources.base, kBaseName, data.base, data.problems);
  ReadOne(sources.rerun, kRerunName, data.rerun, data.problems);
  ReadOne(sources.policy, kPolicyName, data.policy, data.problems);
  return data;
}

std::string SeriesComponent::Name() const {
  return element.empty() ? variable : variable + "(" + element + ")";
}

std::vector<SeriesComponent> SeriesComponents(const SeriesData& data) {
  std::vector<SeriesComponent> out;
  for (const RunTable& run : RunTables(data)) {
    if (!*run.table) continue;
    for (const ResultsCsvRow& row : (*run.table)->rows) {
      const bool known = std::any_of(out.begin(), out.end(), [&](const SeriesComponent& c) {
        return SameText(c.variable, row.variable) && SameText(c.element, row.element);
      });
      if (!known) out.push_back({row.variable, row.element, row.label});
    }
  }
  return out;
}

std::string SeriesChart::Title() const {
  const std::string name = element.empty() ? variable : variable + "(" + element + ")";
  return label.empty() ? name : name + ": " + label;
}

std::string SeriesChart::ValueAxisTitle() const {
  return std::string(type == 'c' ? "Change" : "% change") + " since the start of " +
         std::to_string(from_year);
}

std::string SeriesChart::DeviationTitle() const {
  return std::string(kPolicyName) + " minus " + compared_with;
}

std::string SeriesChart::DeviationAxisTitle() const {
  return type == 'c' ? "Difference" : "% deviation";
}

Result<SeriesChart> MakeSeriesChart(const SeriesData& data, const std::string& variable,
                                    const std::string& element) {
  SeriesChart chart;
  chart.variable = variable;
  chart.element = element;
  chart.notes = data.problems;
  std::optional<RunSeries> base, rerun, policy;
  std::optional<RunSeries>* slots[] = {&base, &rerun, &policy};
  bool found = false;
  int slot = 0;
  for (const RunTable& run : RunTables(data)) {
    std::optional<RunSeries>& out = *slots[slot++];
    if (!*run.table) continue;
    const ResultsCsv& table = **run.table;
    const ResultsCsvRow* row = table.Find(variable, element);
    if (!row) {
      chart.notes.push_back(std::string("The ") + run.name + "'s results have no " +
                            SeriesComponent{variable, element, ""}.Name());
      continue;
    }
    const std::optional<std::vector<int>> years = table.Years();
    if (!years) {
      chart.notes.push_back(std::string("The ") + run.name + "'s results are not headed by years");
      continue;
    }
    if (!found) {
      chart.variable = row->variable;
      chart.element = row->element;
      chart.label = row->label;
      chart.type = row->type;
      found = true;
    }
    out = RunSeries{run.name, *years, row->values};
  }
  if (!found) {
    if (data.Empty()) return Fail("No run's cumulative results could be read");
    return Fail("No run's results have " + SeriesComponent{variable, element, ""}.Name());
  }

  // Every run is put on the footing of the earliest start.
  chart.from_year = base && !base->years.empty() ? base->years.front() : 0;
  for (std::optional<RunSeries>* later : {&rerun, &policy}) {
    if (!*later || (*later)->years.empty()) continue;
    RunSeries& s = **later;
    const int start = s.years.front();
    if (chart.from_year == 0) chart.from_year = start;
    if (start == chart.from_year) continue;
    const std::optional<double> anchor = base ? ValueIn(*base, start - 1) : std::nullopt;
    if (!anchor || start < chart.from_year) {
      chart.notes.push_back("The " + s.name + " starts in " + std::to_string(start) +
                            " and the Base's results do not reach " + std::to_string(start - 1) +
                            ", so it is left out");
      later->reset();
      continue;
    }
    for (double& v : s.values) v = Chain(chart.type, *anchor, v);
    // The run begins where the Base stood, so its line branches off the Base's.
    s.years.insert(s.years.begin(), start - 1);
    s.values.insert(s.values.begin(), *anchor);
  }
  for (std::optional<RunSeries>* s : slots) {
    if (*s) chart.runs.push_back(**s);
  }

  const std::optional<RunSeries>& other = rerun ? rerun : base;
  if (policy && other) {
    chart.compared_with = other->name;
    RunSeries dev{chart.DeviationTitle(), {}, {}};
    for (std::size_t i = 0; i < policy->years.size(); ++i) {
      const std::optional<double> o = ValueIn(*other, policy->years[i]);
      if (!o) continue;
      if (const std::optional<double> d = Deviation(chart.type, policy->values[i], *o)) {
        dev.years.push_back(policy->years[i]);
        dev.values.push_back(*d);
      }
    }
    chart.deviation = std::move(dev);
  }
  return chart;
}

}  // namespace yl
