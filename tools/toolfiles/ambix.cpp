// Ambix: reads a saved environment (".en4") and writes either the map of its exogenous
// variables ("s") or a BOT file whose shocks give those variables the values of a
// results file ("b"), naming that file in double quotes so that the engine can point
// the statements at a copy.

#include "core/text_util.h"
#include "platform/paths.h"
#include "toolfiles/bot_file.h"
#include "toolfiles/mapping_file.h"
#include "toolfiles/solution_data.h"
#include "toolfiles/tool_common.h"
#include "toolfiles/tools.h"

namespace yl::toolfiles {

namespace {

struct AmbixJob {
  std::string environment;
  std::string map;      // "s"
  std::string bot;      // "b": the BOT file, ".bot" added
  std::string results;  // "b": the results file its shocks read
};

Result<AmbixJob> ReadJob(tool::StiReader& sti) {
  AmbixJob j;
  if (auto s = ExpectBlank(sti, "the default start"); !s) return std::unexpected(s.error());
  for (;;) {
    auto a = sti.Next("an Ambix choice (e, s, b or x)");
    if (!a) return std::unexpected(a.error());
    std::string o = LowerCase(*a);
    Result<std::string> f;
    if (o == "x") break;  // only the exogenous variables: the one listing we make
    if (o == "e") {
      f = NextFile(sti, "the environment file");
      if (f) j.environment = *f;
    } else if (o == "s") {
      f = NextFile(sti, "the map file");
      if (f) j.map = *f;
    } else if (o == "b") {
      f = NextFile(sti, "the output BOT file");
      if (f) {
        j.bot = *f;
        f = NextFile(sti, "the results file to read shocks from");
        if (f) j.results = *f;
      }
    } else {
      return Fail("Stored-input line " + std::to_string(sti.Position()) +
                  ": unknown Ambix choice \"" + *a + "\"");
    }
    if (!f) return std::unexpected(f.error());
  }
  if (j.environment.empty()) return Fail("The stored-input file names no environment file (e)");
  if (j.map.empty() == j.bot.empty()) {
    return Fail("The stored-input file must ask for either a map (s) or a BOT file (b)");
  }
  return j;
}

Result<std::string> MakeBot(const ResultsData& env, const std::string& env_path,
                            const ResultsData& results, const std::string& results_path) {
  std::string text = "! Shocks giving the exogenous variables of the environment " + env_path +
                     "\n! the results held in the file named below\n";
  for (const ResultVariable& v : env.variables) {
    std::vector<int> comps;
    for (int c = 0; c < v.Size(); ++c) {
      if (v.exogenous[static_cast<std::size_t>(c)]) comps.push_back(c);
    }
    if (comps.empty()) continue;
    int k = results.IndexOf(v.name);
    if (k < 0) {
      return Fail("Variable " + v.name + " of the environment file is not in the results file " +
                  results_path);
    }
    const ResultVariable& r = results.variables[static_cast<std::size_t>(k)];
    if (r.Size() != v.Size()) {
      return Fail("Variable " + v.name + " has " + std::to_string(v.Size()) +
                  " components in the environment file but " + std::to_string(r.Size()) +
                  " in the results file " + results_path);
    }
    auto line = ShockFromFile(v, comps, results_path, VariableHeader(k));
    if (!line) return std::unexpected(line.error());
    text += *line;
  }
  return text;
}

}  // namespace

Status RunAmbix(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  if (auto p = ReadToolPreamble(*sti, run); !p) return std::unexpected(p.error());
  auto job = ReadJob(*sti);
  if (!job) return std::unexpected(job.error());
  if (auto s = sti->ExpectEnd(); !s) return s;

  const std::string env_path_guess =
      EndsWithNoCase(job->environment, ".en4") ? job->environment : job->environment + ".en4";
  const std::string bot =
      job->bot.empty() || EndsWithNoCase(job->bot, ".bot") ? job->bot : job->bot + ".bot";
  FilePlan plan;
  plan.Input(env_path_guess);
  if (!job->results.empty()) plan.Input(job->results);
  plan.Output(bot.empty() ? job->map : bot);
  if (auto s = plan.Claim(run); !s) return s;
  run.SetCheckFile(plan.LastOutput());

  std::string env_path;
  auto env = ReadEnvironmentFile(job->environment, &env_path);
  if (!env) return std::unexpected(env.error());
  run.Log("Read environment file " + env_path);
  if (bot.empty()) {
    if (auto s = run.WriteOutput(job->map, FormatExogenousMap(*env, env_path)); !s) return s;
    run.Log("Wrote map " + job->map);
    return Ok();
  }
  auto results = ReadResultsFile(job->results);
  if (!results) return std::unexpected(results.error());
  auto text = MakeBot(*env, env_path, *results, job->results);
  if (!text) return std::unexpected(text.error());
  if (auto s = run.WriteOutput(bot, *text); !s) return s;
  run.Log("Wrote BOT file " + bot);
  return Ok();
}

}  // namespace yl::toolfiles
