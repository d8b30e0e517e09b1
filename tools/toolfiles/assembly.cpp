#include "toolfiles/assembly.h"

#include <map>

#include "core/text_util.h"

namespace yl::toolfiles {

namespace {

std::string Key(const TableRow& r) { return LowerCase(r.variable) + "\t" + LowerCase(r.element); }

const char* ValuesNote(bool cumulative, bool differences) {
  if (differences) {
    return cumulative ? "percentage deviation of the Policy's level from the other run's level at "
                        "the end of each year (type p); difference of the cumulative ordinary "
                        "changes (type c)"
                      : "year-on-year change of the percentage deviation of the Policy's level "
                        "from the other run's level (type p); difference of the year's ordinary "
                        "changes (type c)";
  }
  return cumulative ? "percentage change (type p) or ordinary change (type c) from the start of "
                      "the first year to the end of each year"
                    : "percentage change (type p) or ordinary change (type c) over each year";
}

}  // namespace

Result<ResultsTable> JoinYears(const std::vector<ResultsTable>& years,
                               const std::vector<std::string>& sources, bool cumulative,
                               ArithmeticGuard& guard) {
  if (years.empty()) return Fail("No per-year results to join");
  ResultsTable out;
  out.kind = cumulative ? kKindCumulative : kKindYearOnYear;
  out.info.emplace_back("Values", ValuesNote(cumulative, false));
  for (const std::string& s : sources) out.info.emplace_back("Source", s);
  const ResultsTable& first = years.front();
  for (std::size_t y = 0; y < years.size(); ++y) {
    const ResultsTable& t = years[y];
    if (t.kind != kKindYear || t.columns.size() != 1) {
      return Fail("The file " + sources[y] + " is not a per-year results table");
    }
    if (t.rows.size() != first.rows.size()) {
      return Fail("The file " + sources[y] + " has " + std::to_string(t.rows.size()) +
                  " rows but " + sources[0] + " has " + std::to_string(first.rows.size()));
    }
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      if (Key(t.rows[r]) != Key(first.rows[r]) || t.rows[r].type != first.rows[r].type) {
        return Fail("Row " + std::to_string(r + 1) + " of " + sources[y] + " is " +
                    t.rows[r].Component() + " but " + first.rows[r].Component() + " in " +
                    sources[0]);
      }
    }
    for (const std::string& c : out.columns) {
      if (c == t.columns[0]) return Fail("The year " + c + " is given twice");
    }
    out.columns.push_back(t.columns[0]);
  }
  for (std::size_t r = 0; r < first.rows.size(); ++r) {
    TableRow row = first.rows[r];
    row.values.clear();
    double acc = 0;
    for (std::size_t y = 0; y < years.size(); ++y) {
      double v = years[y].rows[r].values[0];
      if (cumulative) {
        acc = Chain(acc, v, row.type);
        v = acc;
      }
      if (auto s = guard.Check(v, row.Component() + ", " + out.columns[y]); !s) {
        return std::unexpected(s.error());
      }
      if (cumulative) acc = v;
      row.values.push_back(v);
    }
    out.rows.push_back(std::move(row));
  }
  return out;
}

Result<ResultsTable> DifferenceTable(const ResultsTable& other, const ResultsTable& policy,
                                     bool cumulative, ArithmeticGuard& guard) {
  for (const ResultsTable* t : {&other, &policy}) {
    if (t->kind != kKindYearOnYear) {
      return Fail("Differences are made from year-on-year tables, not from a \"" + t->kind +
                  "\" table");
    }
  }
  std::vector<std::size_t> column_of;
  for (const std::string& c : policy.columns) {
    std::size_t k = 0;
    while (k < other.columns.size() && other.columns[k] != c) ++k;
    if (k == other.columns.size()) return Fail("The year " + c + " is missing from the other run");
    column_of.push_back(k);
  }
  std::map<std::string, const TableRow*> rows;
  for (const TableRow& r : other.rows) rows[Key(r)] = &r;
  ResultsTable out;
  out.kind = cumulative ? kKindCumulativeDiff : kKindYearOnYearDiff;
  out.info.emplace_back("Values", ValuesNote(cumulative, true));
  out.columns = policy.columns;
  for (const TableRow& p : policy.rows) {
    auto it = rows.find(Key(p));
    if (it == rows.end()) return Fail(p.Component() + " is missing from the other run");
    const TableRow& o = *it->second;
    if (o.type != p.type) return Fail(p.Component() + " has different types in the two runs");
    TableRow row = p;
    row.values.clear();
    double pol_acc = 0, other_acc = 0;
    for (std::size_t c = 0; c < column_of.size(); ++c) {
      double pv = p.values[c];
      double ov = o.values[column_of[c]];
      if (cumulative) {
        pol_acc = Chain(pol_acc, pv, p.type);
        other_acc = Chain(other_acc, ov, p.type);
        pv = pol_acc;
        ov = other_acc;
      }
      double d = Deviation(pv, ov, p.type);
      if (auto s = guard.Check(d, p.Component() + ", " + out.columns[c]); !s) {
        return std::unexpected(s.error());
      }
      row.values.push_back(d);
    }
    out.rows.push_back(std::move(row));
  }
  return out;
}

Result<ResultsData> CumulateResults(const std::vector<ResultsData>& years,
                                    const std::vector<std::string>& paths, ArithmeticGuard& guard) {
  if (years.empty()) return Fail("No per-year results to join");
  ResultsData out = years.front();
  out.kind = kKindCumulative;
  out.first_year = years.front().first_year;
  out.last_year = years.back().last_year;
  for (ResultVariable& v : out.variables) std::fill(v.values.begin(), v.values.end(), 0.0);
  for (std::size_t y = 0; y < years.size(); ++y) {
    const ResultsData& d = years[y];
    if (d.kind != kKindYear) {
      return Fail("The file " + paths[y] + " holds \"" + d.kind + "\" results, not a year's");
    }
    if (d.variables.size() != out.variables.size()) {
      return Fail("The file " + paths[y] + " has " + std::to_string(d.variables.size()) +
                  " variables but " + paths[0] + " has " + std::to_string(out.variables.size()));
    }
    for (std::size_t i = 0; i < out.variables.size(); ++i) {
      ResultVariable& acc = out.variables[i];
      const ResultVariable& v = d.variables[i];
      if (!SameText(acc.name, v.name) || acc.Size() != v.Size() || acc.type != v.type) {
        return Fail("Variable " + std::to_string(i + 1) + " of " + paths[y] + " (" + v.name +
                    ") does not match " + acc.name + " of " + paths[0]);
      }
      for (int c = 0; c < v.Size(); ++c) {
        double& a = acc.values[static_cast<std::size_t>(c)];
        a = Chain(a, v.values[static_cast<std::size_t>(c)], v.type);
        std::string year = d.first_year > 0 ? std::to_string(d.first_year) : paths[y];
        if (auto s = guard.Check(a, acc.ComponentName(c) + ", " + year); !s) {
          return std::unexpected(s.error());
        }
      }
    }
  }
  return out;
}

Result<ResultsData> DifferenceResults(const ResultsData& other, const ResultsData& policy,
                                      ArithmeticGuard& guard) {
  for (const ResultsData* d : {&other, &policy}) {
    if (d->kind != kKindCumulative) {
      return Fail("Differences are made from cumulative results, not from \"" + d->kind + "\"");
    }
  }
  if (other.first_year != policy.first_year || other.last_year != policy.last_year) {
    return Fail("The two runs' cumulative results cover different years (" +
                std::to_string(other.first_year) + "-" + std::to_string(other.last_year) + " and " +
                std::to_string(policy.first_year) + "-" + std::to_string(policy.last_year) + ")");
  }
  ResultsData out = policy;
  out.kind = kKindCumulativeDiff;
  for (ResultVariable& v : out.variables) {
    const ResultVariable* o = other.Find(v.name);
    if (!o) return Fail("Variable " + v.name + " is missing from the other run's results");
    if (o->Size() != v.Size() || o->type != v.type) {
      return Fail("Variable " + v.name + " differs in shape or type between the two runs");
    }
    for (int c = 0; c < v.Size(); ++c) {
      double& x = v.values[static_cast<std::size_t>(c)];
      x = Deviation(x, o->values[static_cast<std::size_t>(c)], v.type);
      if (auto s = guard.Check(x, v.ComponentName(c)); !s) return std::unexpected(s.error());
    }
  }
  return out;
}

}  // namespace yl::toolfiles
