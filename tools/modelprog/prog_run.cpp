#include "modelprog/prog_run.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <span>

#include "cmf/cmf_tokens.h"
#include "core/text_util.h"
#include "model/time_stamp.h"
#include "modelcore/demo_model.h"
#include "modelprog/prog_apply.h"
#include "modelprog/prog_cmf.h"
#include "modelprog/prog_har.h"
#include "modelprog/prog_outputs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "toolkit/sti_reader.h"

namespace yl::modelprog {
namespace {

struct LogicalFile {
  const char* name;
  bool input;
  bool updated;
};
// The demo model's logical files, as its Model Information file lists them; the inputs
// come first, in the order the model takes them.
constexpr LogicalFile kLogicalFiles[] = {{model::kBaseDataFile, true, true},
                                         {model::kParamsFile, true, false},
                                         {model::kLagDataFile, true, false},
                                         {model::kSummaryFile, false, false}};
constexpr LogicalFile kReLogicalFiles[] = {
    {model::kBaseDataFile, true, true}, {model::kParamsFile, true, false},
    {model::kLagDataFile, true, false}, {model::kRorextFile, true, true},
    {model::kIterFile, true, true},     {model::kExtraFile, true, true},
    {model::kSummaryFile, false, false}};

std::span<const LogicalFile> LogicalFilesOf(const std::string& model_id) {
  if (SameText(model_id, kDemoReModelId)) return kReLogicalFiles;
  return kLogicalFiles;
}

const LogicalFile* FindLogical(std::span<const LogicalFile> files, const std::string& name) {
  for (const LogicalFile& f : files)
    if (SameText(f.name, name)) return &f;
  return nullptr;
}

const FileStatement* FindStatement(const std::vector<FileStatement>& list,
                                   const std::string& name) {
  const FileStatement* found = nullptr;
  for (const FileStatement& f : list)
    if (SameText(f.logical, name)) found = &f;  // the last one counts
  return found;
}

std::string OneString(const HarFile& f, const char* header) {
  const HarHeader* h = f.Find(header);
  if (!h || h->type != "1C" || h->strings.empty()) return "";
  return Trim(h->strings.front());
}

std::string Stamp(const std::string& path) {
  auto s = GetTimeDateStamp(path, "header", "DTXT");
  return s ? *s : "";
}

// The model's auxiliary files must be there and belong together (and, for a model
// executable, belong to this very program). `model_id` receives the model they describe.
Result<ModelIdentity> CheckAuxiliary(const ProgramIdentity& id, const std::string& base,
                                     tool::ToolRun& run, std::string& model_id) {
  ModelIdentity m;
  m.auxiliary = base;
  if (base.empty()) return Fail("The command file has no \"auxiliary files\" statement");
  const std::string table = base + (id.interpreter ? ".kvt" : ".axt");
  const std::string statements = base + (id.interpreter ? ".kvs" : ".axs");
  for (const std::string& p : {statements, table})
    if (!FileExists(p)) return Fail("Auxiliary file " + p + " does not exist");
  auto har = ReadHeadersFromHarFile(table, {"TABN", "STIN"});
  if (!har) return Fail("Cannot read auxiliary file " + table + ": " + har.error());
  m.stamp = Stamp(table);
  m.tab = OneString(*har, "TABN");
  if (std::string sti = OneString(*har, "STIN"); !sti.empty()) m.sti = sti;
  std::string other;
  if (id.interpreter) {
    auto text = ReadWholeFile(statements);
    if (!text) return Fail("Cannot read " + statements + ": " + text.error());
    model_id.clear();
    for (const CmfStatement& st : ParseCmfText(*text)) {
      if (st.words.size() == 3 && st.words[1].text == "=") {
        if (SameText(st.words[0].text, "model")) model_id = Unquote(st.words[2].text);
        if (SameText(st.words[0].text, "stamp")) other = CleanStamp(Unquote(st.words[2].text));
      }
    }
    if (!SameText(model_id, kDemoModelId) && !SameText(model_id, kDemoReModelId))
      return Fail("Statement file " + statements + " names the model \"" + model_id +
                  "\"; this interpreter runs only the models \"" + kDemoModelId + "\" and \"" +
                  kDemoReModelId + "\"");
  } else {
    other = Stamp(statements);
    model_id = id.model_id;
    // An unreadable file has no stamp either; the date check below reports it.
    auto axs = ReadHeadersFromHarFile(statements, {"MODL"});
    const std::string named = axs ? OneString(*axs, "MODL") : "";
    if (!named.empty() && !SameText(named, model_id))
      return Fail("Auxiliary file " + statements + " describes the model \"" + named +
                  "\"; this program is built for the model \"" + model_id + "\"");
  }
  if (m.stamp.empty() || other != m.stamp)
    return Fail("E-AX date problem: the auxiliary files " + statements + " and " + table +
                " were not created at the same time");
  if (!id.interpreter && m.stamp != id.program_stamp)
    return Fail("E-PG date problem: the program " + id.self_path +
                " was not created at the same time as its auxiliary files " + statements + " and " +
                table);
  run.Log("Model " + base + " (created " + m.stamp + ")");
  return m;
}

// The release check: the executable's own companion files, when they are there, must
// belong together and to it.
Status ReleaseCheck(const ProgramIdentity& id, tool::ToolRun& run) {
  run.Log("Release " + std::to_string(kReleaseCode) + ", program version " +
          std::to_string(kProgramVersion));
  if (id.interpreter || id.self_path.empty()) return Ok();
  const std::string axs = ChangeFileExt(id.self_path, ".axs");
  const std::string axt = ChangeFileExt(id.self_path, ".axt");
  if (!FileExists(axs) || !FileExists(axt)) {
    run.Log("No auxiliary files beside " + id.self_path + "; release information only");
    return Ok();
  }
  const std::string a = Stamp(axs), t = Stamp(axt);
  if (a.empty() || a != t) {
    run.Log("Auxiliary files " + axs + " and " + axt + " were not created at the same time");
    return Fail("E-AX date problem");
  }
  if (t != id.program_stamp) {
    run.Log("The program was not created at the same time as " + axs + " and " + axt);
    return Fail("E-PG date problem");
  }
  return Ok();
}

std::string Canonical(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  return ec ? path : p.string();
}

struct PlannedOutput {
  std::string path;
  std::string what;
};

// No output may replace an input or another output: a failed run deletes its outputs,
// and the user's data must never go with them.
Status CheckOutputs(const std::vector<PlannedOutput>& outputs,
                    const std::vector<PlannedOutput>& inputs) {
  std::set<std::string> seen;
  for (const PlannedOutput& o : outputs) {
    const std::string c = Canonical(o.path);
    for (const PlannedOutput& i : inputs)
      if (Canonical(i.path) == c)
        return Fail("The " + o.what + " " + o.path + " would overwrite the " + i.what);
    if (!seen.insert(c).second) return Fail("The file " + o.path + " is named for two outputs");
  }
  return Ok();
}

// The homotopy carries the expectations through every solve of the forward-looking
// variant; a shock the command file gives it (the Rerun's, from the Base) comes first.
Status AddHomotopyShock(const model::LinearModel& model, const std::vector<bool>& exogenous,
                        std::vector<model::Shock>& shocks) {
  const model::VarComponent homotopy{model::kHomotopyVariable, ""};
  for (const model::Shock& s : shocks)
    if (SameText(s.component.variable, homotopy.variable)) return Ok();
  for (const model::VariableInfo& v : model.Variables()) {
    if (!SameText(v.name, homotopy.variable)) continue;
    if (!exogenous[static_cast<std::size_t>(v.first)])
      return Fail("Variable " + homotopy.variable +
                  " must be exogenous: it carries the expectations of ROREXT into the solve");
  }
  shocks.push_back({homotopy, model::ShockKind::kShock, model::kHomotopyShock});
  return Ok();
}

Status CommandFileRun(const ProgramIdentity& id, const std::string& cmf_path, tool::ToolRun& run) {
  auto cmf = ReadCommandFile(cmf_path);
  if (!cmf) return Fail(cmf.error());
  run.Log("Command file " + cmf_path);
  for (const std::string& n : cmf->notes) run.Log("Note: " + n);
  std::string model_id;
  auto identity = CheckAuxiliary(id, cmf->auxiliary, run, model_id);
  if (!identity) return Fail(identity.error());
  const std::span<const LogicalFile> logical_files = LogicalFilesOf(model_id);

  // Inputs.
  for (const FileStatement& f : cmf->files)
    if (!FindLogical(logical_files, f.logical))
      return Fail("Command file " + cmf_path + ", line " + std::to_string(f.line) +
                  ": logical file \"" + f.logical + "\" is not a file of this model");
  for (const FileStatement& f : cmf->updated) {
    const LogicalFile* l = FindLogical(logical_files, f.logical);
    if (!l || !l->updated)
      return Fail("Command file " + cmf_path + ", line " + std::to_string(f.line) +
                  ": logical file \"" + f.logical + "\" is not updated by this model");
  }
  std::vector<LoadedData> loaded;
  std::vector<PlannedOutput> inputs;
  for (const LogicalFile& l : logical_files) {
    if (!l.input) continue;
    const FileStatement* f = FindStatement(cmf->files, l.name);
    if (!f) return Fail("No \"File\" statement for the input logical file " + std::string(l.name));
    auto d = ReadDataFile(f->path, l.name);
    if (!d) return Fail(d.error());
    run.Log("Read " + std::string(l.name) + " from " + f->path);
    inputs.push_back({f->path, "input file of logical file " + std::string(l.name)});
    loaded.push_back(std::move(*d));
  }
  const LoadedData& base = loaded[0];
  const model::SetInfo* sectors = SetOfHeader(base, "CAPR");
  if (!sectors)
    return Fail("Header CAPR of " + base.path +
                " (logical file BASEDATA) is not labelled with its set");
  model::DemoInputs in{*sectors, base.data, loaded[1].data, loaded[2].data, std::nullopt};
  if (loaded.size() == 6)
    in.expectations = model::DemoExpectations{loaded[3].data, loaded[4].data, loaded[5].data};
  auto model = model::MakeDemoModel(in);
  if (!model) return Fail(model.error());
  const auto& vars = (*model)->Variables();
  if ((*model)->HasExpectations()) {
    const model::ExpectationsPosition& at = (*model)->Position();
    run.Log("Expectations: iteration " + std::to_string(at.iteration) + " (the Base has " +
            std::to_string(at.base_iterations) + ", the Rerun " +
            std::to_string(at.rerun_iterations) + "), period " + std::to_string(at.period) +
            " of " + std::to_string(at.horizon) + ", the run starting in period " +
            std::to_string(at.first_period) +
            (at.iteration == 1 ? "; no expectations formed yet: static ones" : ""));
  }

  auto closure = ApplyClosure(*cmf, vars);
  if (!closure) return Fail(closure.error());
  auto flags = model::ExogenousFlags(*closure, vars);
  if (!flags) return Fail(flags.error());
  auto shocks = ResolveShocks(*cmf, **model, *flags);
  if (!shocks) return Fail(shocks.error());
  if ((*model)->HasExpectations()) {
    if (auto s = AddHomotopyShock(**model, *flags, *shocks); !s) return s;
  }
  run.Log(std::to_string(closure->exogenous.size()) + " exogenous components, " +
          std::to_string(shocks->size()) + " shocked");

  const bool solve = cmf->solution.has_value() && !cmf->nwr;
  std::vector<PlannedOutput> outputs;
  for (const std::string& e : cmf->save_environment)
    outputs.push_back({EnvironmentFileName(e), "environment file"});
  std::string sl4;
  if (solve) {
    sl4 = *cmf->solution + ".sl4";
    outputs.push_back({sl4, "solution file"});
    outputs.push_back({*cmf->solution + ".slc", "starting-data file"});
    if (cmf->udc) outputs.push_back({*cmf->solution + ".udc", "UDC file"});
    for (const LogicalFile& l : logical_files) {
      if (l.updated) {
        const FileStatement* u = FindStatement(cmf->updated, l.name);
        if (!u)
          return Fail("No \"updated file\" statement for the updated logical file " +
                      std::string(l.name));
        outputs.push_back({u->path, "updated file of logical file " + std::string(l.name)});
      } else if (!l.input) {
        const FileStatement* f = FindStatement(cmf->files, l.name);
        if (!f)
          return Fail("No \"File\" statement for the output logical file " + std::string(l.name));
        outputs.push_back({f->path, "output file of logical file " + std::string(l.name)});
      }
    }
  }
  if (auto s = CheckOutputs(outputs, inputs); !s) return s;
  // What the main program looks for to know the run did its work.
  if (solve) {
    run.SetCheckFile(sl4);
  } else if (!cmf->save_environment.empty()) {
    run.SetCheckFile(EnvironmentFileName(cmf->save_environment.front()));
  }

  // The closure and shocks are checked by one linear solve; a real solve does it as well.
  model::SolveSettings check;
  check.method = model::SolveMethod::kJohansen;
  check.steps = {1};
  const model::SolveSettings& settings = solve ? cmf->method : check;
  std::vector<std::string> solve_log;
  auto outcome = model::Solve(**model, *closure, *shocks, settings, solve_log);
  if (solve) {
    for (const std::string& line : solve_log) run.Log(line);
  }
  if (!outcome) return Fail(outcome.error());
  run.Log(solve ? "The period is solved." : "Closure and shocks are valid; nothing is solved.");

  for (const std::string& e : cmf->save_environment) {
    const std::string path = EnvironmentFileName(e);
    auto env = BuildEnvironmentFile(vars, *flags, *identity);
    if (!env) return Fail(env.error());
    run.AddOutput(path);
    if (auto s = WriteHar(path, id.name, *env); !s) return s;
    run.Log("Environment saved in " + path);
  }
  if (!solve) return Ok();

  SolutionInfo info{cmf->verbal, MethodText(cmf->method, outcome->subintervals_used),
                    YearOfDescription(cmf->verbal), *identity};
  auto sol = BuildSolutionFile(vars, *flags, *outcome, info);
  if (!sol) return Fail(sol.error());
  run.AddOutput(sl4);
  if (auto s = WriteHar(sl4, id.name, *sol); !s) return s;
  run.Log("Solution file " + sl4);

  // Updated and output-only files.
  std::vector<HarFile> updated;  // in kLogicalFiles order of the updated inputs
  std::vector<CoefficientSource> start, end;
  std::vector<HarFile> written_outputs;
  written_outputs.reserve(logical_files.size());
  updated.reserve(logical_files.size());
  for (std::size_t i = 0; i < loaded.size(); ++i)
    start.push_back({loaded[i].data.logical_name, &loaded[i].har});
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    const LogicalFile* l = FindLogical(logical_files, loaded[i].data.logical_name);
    const HarFile* at_end = &loaded[i].har;
    if (l->updated) {
      const model::DataFile* values = nullptr;
      for (const model::DataFile& f : outcome->updated_files)
        if (SameText(f.logical_name, l->name)) values = &f;
      if (!values) return Fail("The model gave no updated data for " + std::string(l->name));
      auto har = ReplaceValues(loaded[i].har, *values);
      if (!har) return Fail(har.error());
      const std::string path = FindStatement(cmf->updated, l->name)->path;
      run.AddOutput(path);
      updated.push_back(std::move(*har));
      if (auto s = WriteHar(path, id.name, updated.back()); !s) return s;
      run.Log("Updated " + std::string(l->name) + " written to " + path);
      at_end = &updated.back();
    }
    end.push_back({loaded[i].data.logical_name, at_end});
  }
  for (const model::DataFile& f : outcome->output_files) {
    const FileStatement* st = FindStatement(cmf->files, f.logical_name);
    if (!st) return Fail("No \"File\" statement for the output logical file " + f.logical_name);
    auto har = HarFromData(f, {*sectors});
    if (!har) return Fail(har.error());
    run.AddOutput(st->path);
    written_outputs.push_back(std::move(*har));
    if (auto s = WriteHar(st->path, id.name, written_outputs.back()); !s) return s;
    run.Log("Output " + f.logical_name + " written to " + st->path);
    end.push_back({f.logical_name, &written_outputs.back()});
  }
  auto slc = BuildCoefficientFile(start);
  if (!slc) return Fail(slc.error());
  run.AddOutput(*cmf->solution + ".slc");
  if (auto s = WriteHar(*cmf->solution + ".slc", id.name, *slc); !s) return s;
  if (cmf->udc) {
    auto udc = BuildCoefficientFile(end);
    if (!udc) return Fail(udc.error());
    run.AddOutput(*cmf->solution + ".udc");
    if (auto s = WriteHar(*cmf->solution + ".udc", id.name, *udc); !s) return s;
  }
  return Ok();
}

}  // namespace

std::string SelfExecutablePath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return std::string(buf, static_cast<std::size_t>(n));
}

Status RunModelProgram(tool::ToolRun& run, const ProgramIdentity& id) {
  run.AddReportKey("SVVer Large", std::to_string(kReleaseCode));
  run.AddReportKey("PRVer Integer", std::to_string(kProgramVersion));
  run.AddReportKey("Fortran Compiler", kCompiler);
  run.AddReportKey("Release", kReleaseText);
  auto sti = tool::StiReader::Load(run.args().sti);
  if (!sti) return Fail(sti.error());
  auto preamble = tool::ReadPreamble(*sti);
  if (!preamble) return Fail(preamble.error());
  run.SetReportPath(preamble->report);
  if (sti->Accept("cmf")) {
    auto path = sti->Next("the command file name");
    if (!path) return Fail(path.error());
    if (path->empty()) return Fail("Stored-input file names no command file after \"cmf\"");
    if (auto s = sti->ExpectEnd(); !s) return s;
    return CommandFileRun(id, Unquote(*path), run);
  }
  // The release check ("xxxxxx" after a blank answer) and the temporary-directory check
  // (a blank answer alone) ask for nothing but the release.
  if (!sti->AtEnd()) {
    auto answer = sti->Next("a blank line");
    if (!answer->empty())
      return Fail("Stored-input line " + std::to_string(sti->Position()) +
                  ": expected \"cmf\" or a blank line but found \"" + *answer + "\"");
    sti->Accept("xxxxxx");
  }
  if (auto s = sti->ExpectEnd(); !s) return s;
  return ReleaseCheck(id, run);
}

int ModelProgramMain(int argc, const char* const* argv, ProgramIdentity id) {
  if (id.self_path.empty()) id.self_path = SelfExecutablePath();
  auto args = tool::ParseToolArgs(argc, argv);
  if (!args) {
    // The shared frame prints the usage.
    return tool::RunTool(argc, argv, id.name, [](tool::ToolRun&) { return Ok(); });
  }
  tool::ToolRun run(id.name, *args);
  Status result;
  try {
    result = RunModelProgram(run, id);
  } catch (const std::exception& e) {
    result = Fail(std::string("Internal error: ") + e.what());
  }
  return run.Finish(result);
}

}  // namespace yl::modelprog
