// Solex: turns one solution file after another into the files asked for: the
// solution-information and SOL files ("wsi"), a BOT file of shocks ("shk"), a per-year
// results table (a mapping file and a CSV name), or a per-year results file (RSL).

#include "core/text_util.h"
#include "platform/paths.h"
#include "toolfiles/bot_file.h"
#include "toolfiles/csv_table.h"
#include "toolfiles/mapping_file.h"
#include "toolfiles/sli_writer.h"
#include "toolfiles/solution_data.h"
#include "toolfiles/tool_common.h"
#include "toolfiles/tools.h"

namespace yl::toolfiles {

namespace {

struct SolexJob {
  bool write_sli = false;
  bool shock_file = false;
  std::string solution;  // as answered (usually without ".sl4")
  std::string map;       // with "y"
  std::string bot, csv, rsl, sli, sol;
};

Result<SolexJob> ReadJob(tool::StiReader& sti, bool* more) {
  SolexJob j;
  *more = sti.Accept("mor");
  bool short_ss = false;
  for (;;) {
    auto a = sti.Next("an option or a blank line");
    if (!a) return std::unexpected(a.error());
    std::string o = LowerCase(*a);
    if (o.empty()) break;
    if (o == "wsi") {
      j.write_sli = true;
    } else if (o == "shk") {
      j.shock_file = true;
    } else if (o == "sss") {
      short_ss = true;
    } else if (o != "nlv") {  // levels are never written, asked or not
      return Fail("Stored-input line " + std::to_string(sti.Position()) + ": unknown option \"" +
                  *a + "\"");
    }
  }
  if (short_ss) {
    if (auto s = ExpectBlank(sti, "the default layout of the short SS file"); !s) {
      return std::unexpected(s.error());
    }
  }
  auto sol = NextFile(sti, "the solution file");
  if (!sol) return std::unexpected(sol.error());
  j.solution = *sol;
  auto column = sti.Next("the column (c, or blank)");
  if (!column) return std::unexpected(column.error());
  // A blank asks for subtotals when there are any; our solutions hold none.
  if (!column->empty() && !SameText(*column, "c")) {
    return Fail("Stored-input line " + std::to_string(sti.Position()) +
                ": only the cumulative column (c) can be written, not \"" + *column + "\"");
  }
  auto mapping = sti.Next("whether to use a mapping file (y or n)");
  if (!mapping) return std::unexpected(mapping.error());
  auto next = [&](const char* what, std::string& target) -> Status {
    auto f = NextFile(sti, what);
    if (!f) return std::unexpected(f.error());
    target = *f;
    return Ok();
  };
  std::string ha_map;
  if (SameText(*mapping, "y")) {
    if (j.write_sli) return Fail("The solution-information file is written without a mapping file");
    if (auto s = next("the mapping file", j.map); !s) return std::unexpected(s.error());
    auto s = j.shock_file ? next("the output BOT file", j.bot) : next("the output CSV file", j.csv);
    if (!s) return std::unexpected(s.error());
  } else if (SameText(*mapping, "n")) {
    if (j.shock_file) return Fail("A BOT file needs a mapping file (answer y)");
    // The name of a Header Array mapping file to create; nothing reads one, so none is made.
    if (auto s = next("the HA mapping file name", ha_map); !s) return std::unexpected(s.error());
    if (j.write_sli) {
      if (auto s = next("the output SLI file", j.sli); !s) return std::unexpected(s.error());
      if (auto s = next("the output SOL file", j.sol); !s) return std::unexpected(s.error());
    } else if (auto s = next("the output results file", j.rsl); !s) {
      return std::unexpected(s.error());
    }
  } else {
    return Fail("Stored-input line " + std::to_string(sti.Position()) +
                ": expected y or n for the mapping file, found \"" + *mapping + "\"");
  }
  return j;
}

std::string YearHeading(const ResultsData& d, const std::string& solution_path) {
  if (d.first_year > 0) return std::to_string(d.first_year);
  return FileNameOf(solution_path);
}

struct MappedVariable {
  const ResultVariable* variable;
  std::vector<int> components;  // 0-based
};

// The solution's variables the mapping file lists, in its order, with the components
// each entry names.
Result<std::vector<MappedVariable>> MappedVariables(const ResultsData& d,
                                                    const std::string& solution_path,
                                                    const std::string& map_path) {
  auto map = ReadMappingFile(map_path);
  if (!map) return std::unexpected(map.error());
  std::vector<MappedVariable> out;
  for (const MapEntry& e : *map) {
    const ResultVariable* v = d.Find(e.name);
    if (!v) {
      return Fail("Variable " + e.name + " of the mapping file " + map_path +
                  " is not in the solution file " + solution_path);
    }
    auto comps = ComponentsOf(e, *v, map_path);
    if (!comps) return std::unexpected(comps.error());
    out.push_back({v, std::move(*comps)});
  }
  return out;
}

Result<std::string> MakeBot(const ResultsData& d, const std::string& solution_path,
                            const std::string& map_path) {
  auto mapped = MappedVariables(d, solution_path, map_path);
  if (!mapped) return std::unexpected(mapped.error());
  std::string text = "! Shocks giving the variables listed in " + map_path +
                     "\n! their results in the solution " + solution_path + "\n";
  for (const MappedVariable& m : *mapped) text += ShockWithValues(*m.variable, m.components);
  return text;
}

Result<std::string> MakeYearTable(const ResultsData& d, const std::string& solution_path,
                                  const std::string& map_path) {
  auto mapped = MappedVariables(d, solution_path, map_path);
  if (!mapped) return std::unexpected(mapped.error());
  ResultsTable t;
  t.kind = kKindYear;
  t.info = {{"Source", solution_path},
            {"Values", "percentage change (type p) or ordinary change (type c) over the year"}};
  t.columns = {YearHeading(d, solution_path)};
  for (const MappedVariable& m : *mapped) {
    const ResultVariable* v = m.variable;
    for (int c : m.components) {
      TableRow r;
      r.variable = v->name;
      r.element = v->elements.empty() ? "" : v->elements[static_cast<std::size_t>(c)];
      r.type = v->type;
      r.label = v->label;
      r.values = {v->values[static_cast<std::size_t>(c)]};
      t.rows.push_back(std::move(r));
    }
  }
  if (t.rows.empty()) return Fail("The mapping file " + map_path + " names no variable");
  return FormatTable(t);
}

Status WriteResults(tool::ToolRun& run, const std::string& path, ResultsData d) {
  d.kind = kKindYear;
  auto har = BuildResultsHar(d);
  if (!har) return Fail("Cannot build results file " + path + ": " + har.error());
  return WriteHarOutput(run, path, *har);
}

Status DoJob(tool::ToolRun& run, const SolexJob& j) {
  std::string solution_path;
  auto d = ReadSolutionFile(j.solution, &solution_path);
  if (!d) return std::unexpected(d.error());
  run.Log("Read solution file " + solution_path);
  if (j.write_sli) {
    auto sli = FormatSolutionInfo(*d);
    if (!sli) return Fail("Cannot write " + j.sli + ": " + sli.error());
    if (auto s = run.WriteOutput(j.sli, *sli); !s) return s;
    if (auto s = WriteResults(run, j.sol, *d); !s) return s;
    run.Log("Wrote " + j.sli + " and " + j.sol);
  } else if (!j.bot.empty()) {
    auto bot = MakeBot(*d, solution_path, j.map);
    if (!bot) return std::unexpected(bot.error());
    if (auto s = run.WriteOutput(j.bot, *bot); !s) return s;
    run.Log("Wrote BOT file " + j.bot);
  } else if (!j.csv.empty()) {
    auto csv = MakeYearTable(*d, solution_path, j.map);
    if (!csv) return std::unexpected(csv.error());
    if (auto s = run.WriteOutput(j.csv, *csv); !s) return s;
    run.Log("Wrote " + j.csv);
  } else {
    if (auto s = WriteResults(run, j.rsl, *d); !s) return s;
    run.Log("Wrote results file " + j.rsl);
  }
  return Ok();
}

}  // namespace

Status RunSolex(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  if (auto p = ReadToolPreamble(*sti, run); !p) return std::unexpected(p.error());
  std::vector<SolexJob> jobs;
  for (bool more = true; more;) {
    auto j = ReadJob(*sti, &more);
    if (!j) return std::unexpected(j.error());
    jobs.push_back(std::move(*j));
  }
  if (auto s = sti->ExpectEnd(); !s) return s;

  FilePlan plan;
  for (const SolexJob& j : jobs) {
    plan.Input(EndsWithNoCase(j.solution, ".sl4") ? j.solution : j.solution + ".sl4");
    if (!j.map.empty()) plan.Input(j.map);
  }
  for (const SolexJob& j : jobs) {
    for (const std::string* out : {&j.sli, &j.sol, &j.bot, &j.csv, &j.rsl}) {
      if (!out->empty()) plan.Output(*out);
    }
  }
  if (auto s = plan.Claim(run); !s) return s;
  run.SetCheckFile(plan.LastOutput());
  for (const SolexJob& j : jobs) {
    if (auto s = DoJob(run, j); !s) return s;
  }
  return Ok();
}

}  // namespace yl::toolfiles
