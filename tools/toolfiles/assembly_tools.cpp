// Tallyr, Varix and Mergix: the results-assembly tools.

#include <functional>

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

struct AssemblyFiles {
  std::vector<std::string> inputs;
  std::string output;
};

// The `count` input files (`what` describes each by its 0-based position), the output
// file and the end of the stored input; the files are claimed for the run before any
// is read.
Result<AssemblyFiles> ReadAssemblyFiles(tool::ToolRun& run, tool::StiReader& sti, int count,
                                        const std::function<std::string(int)>& what) {
  AssemblyFiles files;
  for (int i = 0; i < count; ++i) {
    auto f = NextFile(sti, what(i));
    if (!f) return std::unexpected(f.error());
    files.inputs.push_back(*f);
  }
  auto output = NextFile(sti, "the output file");
  if (!output) return std::unexpected(output.error());
  files.output = *output;
  if (auto s = sti.ExpectEnd(); !s) return std::unexpected(s.error());
  FilePlan plan;
  for (const std::string& in : files.inputs) plan.Input(in);
  plan.Output(files.output);
  if (auto s = plan.Claim(run); !s) return std::unexpected(s.error());
  run.SetCheckFile(files.output);
  return files;
}

// Every file read by `read`, in order; the first failure stops the reading.
template <typename T>
Result<std::vector<T>> ReadEach(const std::vector<std::string>& files,
                                Result<T> (*read)(const std::string&)) {
  std::vector<T> out;
  for (const std::string& f : files) {
    auto r = read(f);
    if (!r) return std::unexpected(r.error());
    out.push_back(std::move(*r));
  }
  return out;
}

std::string NumberedInput(int i, int count) {
  return "input file " + std::to_string(i + 1) + " of " + std::to_string(count);
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
  auto files =
      ReadAssemblyFiles(run, *sti, *count, [&](int i) { return NumberedInput(i, *count); });
  if (!files) return std::unexpected(files.error());
  const std::vector<std::string>& inputs = files->inputs;
  const std::string& output = files->output;

  auto years = ReadEach(inputs, ReadTableFile);
  if (!years) return std::unexpected(years.error());
  ArithmeticGuard guard = GuardFor(run, *p);
  auto joined = JoinYears(*years, inputs, cumulative, guard);
  if (!joined) return std::unexpected(joined.error());
  joined->info.insert(joined->info.begin(), {"Solution of the first year", *solution});
  if (auto s = run.WriteOutput(output, FormatTable(*joined)); !s) return s;
  run.Log("Wrote " + std::string(cumulative ? "cumulative" : "year-on-year") + " results " +
          output);
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
  auto files = ReadAssemblyFiles(run, *sti, 2, [](int i) {
    return i == 0 ? "the other run's year-on-year results" : "the Policy's year-on-year results";
  });
  if (!files) return std::unexpected(files.error());
  const std::string& other = files->inputs[0];
  const std::string& policy = files->inputs[1];
  const std::string& output = files->output;

  auto other_table = ReadTableFile(other);
  if (!other_table) return std::unexpected(other_table.error());
  auto policy_table = ReadTableFile(policy);
  if (!policy_table) return std::unexpected(policy_table.error());
  ArithmeticGuard guard = GuardFor(run, *p);
  auto diff = DifferenceTable(*other_table, *policy_table, !year_on_year, guard);
  if (!diff) return std::unexpected(diff.error());
  diff->info.insert(diff->info.end(),
                    {{"Policy", policy}, {"Other run", other}, {"Policy solution", *solution}});
  if (auto s = run.WriteOutput(output, FormatTable(*diff)); !s) return s;
  run.Log("Wrote differences " + output);
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
  auto files = ReadAssemblyFiles(run, *sti, count, [&](int i) {
    if (!differences) return NumberedInput(i, count);
    return std::string(i == 0 ? "the other run's cumulative results"
                              : "the Policy's cumulative results");
  });
  if (!files) return std::unexpected(files.error());
  const std::vector<std::string>& inputs = files->inputs;
  const std::string& output = files->output;

  auto data = ReadEach(inputs, ReadResultsFile);
  if (!data) return std::unexpected(data.error());
  ArithmeticGuard guard = GuardFor(run, *p);
  auto merged = differences ? DifferenceResults((*data)[0], (*data)[1], guard)
                            : CumulateResults(*data, inputs, guard);
  if (!merged) return std::unexpected(merged.error());
  auto har = BuildResultsHar(*merged);
  if (!har) return Fail("Cannot build results file " + output + ": " + har.error());
  if (auto s = WriteHarOutput(run, output, *har); !s) return s;
  run.Log("Wrote " + std::string(differences ? "cumulative differences " : "cumulative results ") +
          output);
  return Ok();
}

}  // namespace yl::toolfiles
