// Tallyr, Varix and Mergix: the results-assembly tools.

#include "core/text_util.h"
#include "platform/paths.h"
#include "toolfiles/assembly.h"
#include "toolfiles/tool_common.h"
#include "toolfiles/tools.h"

namespace yl::toolfiles {

namespace {

ArithmeticGuard GuardFor(tool::ToolRun& run, const tool::StiPreamble& p) {
  return ArithmeticGuard(p.arithmetic_not_fatal, [&run](const std::string& s) { run.Log(s); });
}

Status Claim(tool::ToolRun& run, const std::vector<std::string>& inputs,
             const std::string& output) {
  FilePlan plan;
  for (const std::string& in : inputs) plan.Input(in);
  plan.Output(output);
  if (auto s = plan.Claim(run); !s) return s;
  run.SetCheckFile(output);
  return Ok();
}

}  // namespace

// "acc" for cumulative results, a blank, the number of files, the first year's
// solution, the per-year CSV files and the output spreadsheet.
Status RunTallyr(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  auto p = ReadToolPreamble(*sti, run);
  if (!p) return std::unexpected(p.error());
  if (p->subtotals) run.Log("Subtotals asked for: the solutions hold none");
  const bool cumulative = sti->Accept("acc");
  if (auto s = ExpectBlank(*sti, "the default start"); !s) return s;
  auto count = NextCount(*sti, "the number of files");
  if (!count) return std::unexpected(count.error());
  auto solution = NextFile(*sti, "the solution file of the first year");
  if (!solution) return std::unexpected(solution.error());
  std::vector<std::string> inputs;
  for (int i = 0; i < *count; ++i) {
    auto f =
        NextFile(*sti, "input file " + std::to_string(i + 1) + " of " + std::to_string(*count));
    if (!f) return std::unexpected(f.error());
    inputs.push_back(*f);
  }
  auto output = NextFile(*sti, "the output file");
  if (!output) return std::unexpected(output.error());
  if (auto s = sti->ExpectEnd(); !s) return s;
  if (auto s = Claim(run, inputs, *output); !s) return s;

  std::vector<ResultsTable> years;
  for (const std::string& f : inputs) {
    auto t = ReadTableFile(f);
    if (!t) return std::unexpected(t.error());
    years.push_back(std::move(*t));
  }
  ArithmeticGuard guard = GuardFor(run, *p);
  auto joined = JoinYears(years, inputs, cumulative, guard);
  if (!joined) return std::unexpected(joined.error());
  joined->info.insert(joined->info.begin(), {"Solution of the first year", *solution});
  if (auto s = run.WriteOutput(*output, FormatTable(*joined)); !s) return s;
  run.Log("Wrote " + std::string(cumulative ? "cumulative" : "year-on-year") + " results " +
          *output);
  return Ok();
}

// "nac" for year-on-year differences, "sol", the Policy's solution, a blank, the other
// run's and the Policy's year-on-year spreadsheets and the output spreadsheet.
Status RunVarix(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  auto p = ReadToolPreamble(*sti, run);
  if (!p) return std::unexpected(p.error());
  const bool year_on_year = sti->Accept("nac");
  if (auto s = sti->Expect("sol"); !s) return s;
  auto solution = NextFile(*sti, "the Policy's solution file");
  if (!solution) return std::unexpected(solution.error());
  if (auto s = ExpectBlank(*sti, "the default"); !s) return s;
  auto other = NextFile(*sti, "the other run's year-on-year results");
  if (!other) return std::unexpected(other.error());
  auto policy = NextFile(*sti, "the Policy's year-on-year results");
  if (!policy) return std::unexpected(policy.error());
  auto output = NextFile(*sti, "the output file");
  if (!output) return std::unexpected(output.error());
  if (auto s = sti->ExpectEnd(); !s) return s;
  if (auto s = Claim(run, {*other, *policy}, *output); !s) return s;

  auto other_table = ReadTableFile(*other);
  if (!other_table) return std::unexpected(other_table.error());
  auto policy_table = ReadTableFile(*policy);
  if (!policy_table) return std::unexpected(policy_table.error());
  ArithmeticGuard guard = GuardFor(run, *p);
  auto diff = DifferenceTable(*other_table, *policy_table, !year_on_year, guard);
  if (!diff) return std::unexpected(diff.error());
  diff->info.insert(diff->info.end(),
                    {{"Policy", *policy}, {"Other run", *other}, {"Policy solution", *solution}});
  if (auto s = run.WriteOutput(*output, FormatTable(*diff)); !s) return s;
  run.Log("Wrote differences " + *output);
  return Ok();
}

// "cml": a blank, the first year's solution, the number of files, the per-year results
// files and the output. "dif": a blank, the Policy's solution, the other run's and the
// Policy's cumulative results files and the output.
Status RunMergix(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  auto p = ReadToolPreamble(*sti, run);
  if (!p) return std::unexpected(p.error());
  auto mode = sti->Next("the task (cml or dif)");
  if (!mode) return std::unexpected(mode.error());
  const bool differences = SameText(*mode, "dif");
  if (!differences && !SameText(*mode, "cml")) {
    return Fail("Stored-input line " + std::to_string(sti->Position()) +
                ": expected cml or dif, found \"" + *mode + "\"");
  }
  if (auto s = ExpectBlank(*sti, "the default start"); !s) return s;
  auto solution = NextFile(*sti, "the solution file");
  if (!solution) return std::unexpected(solution.error());
  int count = 2;
  if (!differences) {
    auto n = NextCount(*sti, "the number of files");
    if (!n) return std::unexpected(n.error());
    count = *n;
  }
  std::vector<std::string> inputs;
  for (int i = 0; i < count; ++i) {
    auto f = NextFile(
        *sti, differences ? (i == 0 ? "the other run's cumulative results"
                                    : "the Policy's cumulative results")
                          : "input file " + std::to_string(i + 1) + " of " + std::to_string(count));
    if (!f) return std::unexpected(f.error());
    inputs.push_back(*f);
  }
  auto output = NextFile(*sti, "the output file");
  if (!output) return std::unexpected(output.error());
  if (auto s = sti->ExpectEnd(); !s) return s;
  if (auto s = Claim(run, inputs, *output); !s) return s;

  std::vector<ResultsData> data;
  for (const std::string& f : inputs) {
    auto d = ReadResultsFile(f);
    if (!d) return std::unexpected(d.error());
    data.push_back(std::move(*d));
  }
  ArithmeticGuard guard = GuardFor(run, *p);
  auto merged = differences ? DifferenceResults(data[0], data[1], guard)
                            : CumulateResults(data, inputs, guard);
  if (!merged) return std::unexpected(merged.error());
  auto har = BuildResultsHar(*merged);
  if (!har) return Fail("Cannot build results file " + *output + ": " + har.error());
  if (auto s = WriteHarOutput(run, *output, *har); !s) return s;
  run.Log("Wrote " + std::string(differences ? "cumulative differences " : "cumulative results ") +
          *output);
  return Ok();
}

}  // namespace yl::toolfiles
