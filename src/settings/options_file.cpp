#include "settings/options_file.h"

#include <algorithm>

#include "cmf/sol_method_ini.h"
#include "core/text_util.h"
#include "env/dir_source.h"
#include "env/program_search.h"
#include "model/model_files.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/recent_files.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

constexpr char kOpt[] = "Options";
constexpr char kEnv[] = "Environment";
constexpr char kInputs[] = "Input Files";
constexpr char kLengths[] = "Length Periods";

std::string B01(bool b) { return b ? "1" : "0"; }
std::string YesNo(bool b) { return b ? "yes" : "no"; }

const char* OutputsText(OutputsBeforeRun o) {
  switch (o) {
    case OutputsBeforeRun::kMove:
      return "move";
    case OutputsBeforeRun::kNeither:
      return "neither";
    default:
      return "delete";
  }
}

bool ReadYes(const IniFile& ini, const char* key, const char* fallback) {
  return LowerCase(ini.ReadString(kEnv, key, fallback)) == "yes";
}

int InRange(int v, int lo, int hi, int fallback) { return v >= lo && v <= hi ? v : fallback; }

// The [Environment] keys that both forms write, in file order, split where the update
// form puts "YearloomVersion" in [Options].
using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ModelKeys(const SessionSettings& s) {
  const ModelReleaseInfo& r = s.model.Release;
  return {{"Model", s.model.ModelFile},
          {"Simulation Program SV Release", std::to_string(r.SvRelease)},
          {"Simulation Program Version", std::to_string(r.ProgramVersion)},
          {"Simulation Program Compiler", r.Compiler},
          {"Not winconsole exe", B01(s.model.NotWinconsole)},
          {"Model Name", s.model.ModelName}};
}

Pairs ModelInfoKeys(const SessionSettings& s) {
  return {{"Model Info File", s.min_din.MinPath},
          {"Dynamic Info File", s.min_din.DinPath},
          {"MIN File Id", std::to_string(s.min_din.MinFileAge)},
          {"DIN File Id", std::to_string(s.min_din.DinFileAge)},
          {"Is DIN file", B01(s.min_din.DinExists)}};
}

Pairs RestOfEnvironment(const SessionSettings& s, const TSimRecord& sim,
                        const std::string& temp_dir) {
  const Options& o = s.options;
  Pairs p = {{"Sim Directory", sim.SimDir}, {"Results Map File", o.ResultsMapFile}};
  if (s.re_available) {
    const ReSettings& re = o.Re;
    Pairs rp = {{"Do Corvan RE", B01(re.DoRe)},
                {"Corvan RE Base Iterations", std::to_string(re.BaseIterations)},
                {"Corvan RE Rerun Iterations", std::to_string(re.RerunIterations)},
                {"Corvan RE Policy Iterations", std::to_string(re.PolicyIterations)},
                {"Corvan RE Policy Start Year", std::to_string(re.PolicyStartYears)},
                {"Prepare Convergence HAR files", B01(re.PrepareHar)},
                {"Prepare Convergence ROREXT files", B01(re.PrepareRorext)},
                {"Prepare Convergence CSV files", B01(re.PrepareCsv)},
                {"Do Standard Corvan RE checks", B01(re.StandardChecks)},
                {"Allow several Corvan RE iterations on Rerun", B01(re.SeveralIterationsOnRerun)}};
    p.insert(p.end(), rp.begin(), rp.end());
  }
  Pairs tail = {{"Editor", o.Editor},
                {"Spreadsheet", o.Spreadsheet},
                {"Tabulon", o.Tabulon},
                {"Halvo", o.Halvo},
                {"Deepro", o.Deepro},
                {"Rerun FC with Dev", YesNo(!o.NoRerun)},
                {"Abbreviated SS jobs", YesNo(o.AbbreviatedSsJobs)},
                {"Make YonY Differences SS", YesNo(o.YonYDifferencesSs)},
                {"Accumulate subtotals results", YesNo(o.AccumulateSubtotals)},
                {"Never use bat job for simulations", YesNo(o.NeverBatJob)},
                {"UseSolvaraDir", s.paths.solvara_dir},
                {"Clear Temp Dir when Exit", B01(o.ClearTempDirAtExit)},
                {"TempDir", temp_dir},
                {"Use CMFStart", "1"},
                {"Use RunSpecific CMFStart", "1"},
                {"Sol File Shocks", B01(o.SolFileShocks)},
                {"Arith Prob Not Fatal RSL", B01(o.ArithProbNotFatalRsl)},
                {"Visible Log Files", B01(o.VisibleLogFiles)},
                {"Suppress Screen Saver", B01(o.SuppressScreenSaver)},
                {"Fewer Messages", B01(o.FewerMessages)},
                {"Check Prerequisites", B01(o.CheckPrerequisites)},
                {"Hide Rational Expectations", B01(o.HideRe)},
                {"Complete Base First", B01(o.CompleteBaseFirst)},
                {"Add to Jobs Log File", B01(o.AddToJobsLog)},
                {"Allow 2 Concurrent Solves", B01(o.ConcurrentSolves >= 2)},
                {"Allow 3 Concurrent Solves", B01(o.ConcurrentSolves >= 3)},
                {"Outputs Before Run", OutputsText(o.Outputs)}};
  p.insert(p.end(), tail.begin(), tail.end());
  return p;
}

std::string TabFilePath(const ModelState& m) {
  if (m.TabFileName.empty()) return "";
  return m.ModelDir.empty() ? m.TabFileName : JoinPath(m.ModelDir, m.TabFileName);
}

bool DefaultLocateModel(ModelState& m, const std::string& path) {
  std::optional<std::string> interpreter;
  if (IsKvsModel(path)) {
    ProgramSearchContext c;
    c.program_dir = ProgramDirectory();
    std::string k = FindSolvaraProgram("kalvo", c);
    if (!k.empty()) interpreter = k;
  }
  SetModelFile(m, path, interpreter);
  return true;
}

void ReadModelGroup(const IniFile& ini, SessionSettings& s, Notices& notices,
                    const OptionsReadContext& ctx) {
  std::string path = ini.ReadString(kEnv, "Model", "");
  ModelReleaseInfo release;
  release.SvRelease = ini.ReadInt(kEnv, "Simulation Program SV Release", -1);
  release.ProgramVersion = ini.ReadInt(kEnv, "Simulation Program Version", -1);
  release.Compiler = ini.ReadString(kEnv, "Simulation Program Compiler", "");
  bool not_winconsole = ini.ReadBool(kEnv, "Not winconsole exe", false);

  bool have = !Trim(path).empty();
  ModelState model;
  if (have && !FileExists(path)) {
    notices.push_back(ModelMissingMessage(path));
    have = false;
  }
  if (have) {
    const ModelLocator& locate = ctx.locate_model ? ctx.locate_model : DefaultLocateModel;
    have = locate(model, path);
  }
  if (!have) {
    ClearModel(s.model, s.min_din);
    s.first_year_files.clear();
    return;
  }
  model.Release = release;
  model.NotWinconsole = not_winconsole;
  std::string name = ini.ReadString(kEnv, "Model Name", "");
  if (!Trim(name).empty()) model.ModelName = name;
  s.model = model;
  s.min_din.MinPath = ini.ReadString(kEnv, "Model Info File", "");
  s.min_din.DinPath = ini.ReadString(kEnv, "Dynamic Info File", "");
  s.min_din.MinFileAge = static_cast<std::uint32_t>(ini.ReadInt(kEnv, "MIN File Id", 0));
  s.min_din.DinFileAge = static_cast<std::uint32_t>(ini.ReadInt(kEnv, "DIN File Id", 0));
  s.min_din.DinExists = ini.ReadBool(kEnv, "Is DIN file", false);

  // The list ends at the first missing key; blank values (an empty list is stored as one
  // blank key) are not lines of the list.
  s.first_year_files.clear();
  for (int i = 0; i <= 100000; ++i) {
    auto v = ini.Get(kInputs, std::to_string(i));
    if (!v) break;
    if (!Trim(*v).empty()) s.first_year_files.push_back(*v);
  }
}

void ReadSimulationDirs(const IniFile& ini, SessionSettings& s, TSimRecord& sim, Notices& notices,
                        bool do_re) {
  Options& o = s.options;
  const std::string& prog = s.paths.program_dir;
  std::string dir = ini.ReadString(kEnv, "Sim Directory", prog);
  if (!DirectoryExists(dir)) {
    notices.push_back(InformationMessage(
        "Previously the Working Directory (see Sim Overview page) was\r\n" + dir +
            "\r\nSince this directory no longer exists, the Working Directory is now set "
            "to\r\n" +
            prog + "\r\nYou may wish to change this as soon as possible.",
        kHelpWorkDirMissing));
    dir = prog;
  }
  sim.SimDir = dir;
  s.paths.work_dir = dir;
  o.ResultsMapFile = ini.ReadString(kEnv, "Results Map File", "");
  if (!o.ResultsMapFile.empty() && !FileExists(o.ResultsMapFile)) o.ResultsMapFile.clear();
  o.SolFileShocks = ini.ReadBool(kEnv, "Sol File Shocks", false);
  o.ArithProbNotFatalRsl = ini.ReadBool(kEnv, "Arith Prob Not Fatal RSL", false);
  if (s.re_available) {
    ReSettings& re = o.Re;
    re.DoRe = do_re;
    re.BaseIterations = InRange(ini.ReadInt(kEnv, "Corvan RE Base Iterations", 30), 1, 99, 30);
    re.RerunIterations = 1;
    re.PolicyIterations = InRange(ini.ReadInt(kEnv, "Corvan RE Policy Iterations", 20), 1, 99, 20);
    if (!do_re) {
      re.BaseIterations = 30;
      re.RerunIterations = 1;
      re.PolicyIterations = 20;
    }
    re.PolicyStartYears = InRange(ini.ReadInt(kEnv, "Corvan RE Policy Start Year", 0), 0, 99, 0);
    re.PrepareHar = ini.ReadBool(kEnv, "Prepare Convergence HAR files", true);
    re.PrepareRorext = ini.ReadBool(kEnv, "Prepare Convergence ROREXT files", true);
    re.PrepareCsv = ini.ReadBool(kEnv, "Prepare Convergence CSV files", true);
    re.StandardChecks = ini.ReadBool(kEnv, "Do Standard Corvan RE checks", true);
    re.SeveralIterationsOnRerun = false;
  }
  o.NoRerun = LowerCase(ini.ReadString(kEnv, "Rerun FC with Dev", "yes")) == "no";
}

void ReadTempDir(const IniFile& ini, SessionSettings& s, const OptionsReadContext& ctx) {
  SessionPaths& p = s.paths;
  const std::string found = p.default_temp_dir;
  std::string stored = s.FileVersion >= 170 ? ini.ReadString(kEnv, "TempDir", found) : found;
  stored = Trim(stored);
  if (stored.size() >= 4 && DirectoryExists(stored) && IsWritableDir(stored) &&
      IsPrivateDir(stored, ctx.owner_probe)) {
    p.temp_dir = RemoveTrailingSep(stored);
  } else if (stored.size() <= 3) {
    p.temp_dir.clear();
  } else {
    if (!found.empty() && !DirectoryExists(found)) ForcePrivateDirectories(found);
    p.temp_dir = found;
  }
  p.next_temp_dir = p.temp_dir;
}

void ReadLengthPeriods(const IniFile& ini, TSimRecord& sim) {
  int n = ini.ReadInt(kLengths, "Number Periods", 0);
  if (n >= 1 && n <= kMaxPeriods) {
    for (int i = 1; i <= n; ++i) {
      int len = ini.ReadInt(kLengths, std::to_string(i), 1);
      if (len >= 1 && len <= 99) sim.LengthPeriods[i] = len;
    }
  } else if (n == 0) {
    for (int i = 1; i <= kMaxPeriods; ++i) sim.LengthPeriods[i] = 1;
  }
}

}  // namespace

bool ReadOptions(const IniFile& ini, OptionGroups groups, SessionSettings& s, TSimRecord& sim,
                 Notices& notices, const OptionsReadContext& ctx) {
  Options& o = s.options;
  // 1.
  if (groups.options) {
    o.PlayMusic = ini.ReadBool(kOpt, "PlayMusic", false);
    o.DeveloperMode = ini.ReadBool(kOpt, "DeveloperMode", false);
    o.WarnTempDirName = ini.ReadBool(kOpt, "Warn about Temp Dir name", true);
  }
  s.FileVersion = ini.ReadInt(kOpt, "YearloomVersion", 0);
  // 2.
  if (groups.model) ReadModelGroup(ini, s, notices, ctx);
  // 3.
  const bool do_re = ini.ReadBool(kEnv, "Do Corvan RE", false);
  // 4.
  if (groups.simulation) ReadSimulationDirs(ini, s, sim, notices, do_re);
  // 5.
  if (groups.options) {
    o.AbbreviatedSsJobs = ReadYes(ini, "Abbreviated SS jobs", "no");
    o.YonYDifferencesSs = ReadYes(ini, "Make YonY Differences SS", "no");
    o.AccumulateSubtotals = ReadYes(ini, "Accumulate subtotals results", "no");
    o.NeverBatJob = ReadYes(ini, "Never use bat job for simulations", "no");
    o.VisibleLogFiles = ini.ReadBool(kEnv, "Visible Log Files", false);
    o.SuppressScreenSaver = ini.ReadBool(kEnv, "Suppress Screen Saver", true);
    o.FewerMessages = ini.ReadBool(kEnv, "Fewer Messages", false);
    s.fewer_messages_effective = o.FewerMessages;
    o.CheckPrerequisites = ini.ReadBool(kEnv, "Check Prerequisites", true);
    o.HideRe = s.re_available && !do_re && ini.ReadBool(kEnv, "Hide Rational Expectations", false);
  }
  // 6.
  if (groups.simulation) ReadSolMethodState(ini, s.methods, sim);
  // 7.
  if (groups.options) {
    auto existing_or_empty = [&](const char* key) {
      std::string v = ini.ReadString(kEnv, key, "");
      return !v.empty() && !FileExists(v) ? std::string() : v;
    };
    o.Editor = existing_or_empty("Editor");
    o.Spreadsheet = ini.ReadString(kEnv, "Spreadsheet", "");
    o.Tabulon = existing_or_empty("Tabulon");
    o.Halvo = existing_or_empty("Halvo");
    o.Deepro = existing_or_empty("Deepro");
    std::string sv = ini.ReadString(kEnv, "UseSolvaraDir", "");
    s.paths.solvara_dir = DirectoryExists(sv) ? sv : "";
    o.ClearTempDirAtExit = ini.ReadBool(kEnv, "Clear Temp Dir when Exit", true);
    ReadTempDir(ini, s, ctx);
    o.CompleteBaseFirst = ini.ReadBool(kEnv, "Complete Base First", false);
    o.AddToJobsLog = ini.ReadBool(kEnv, "Add to Jobs Log File", false);
    o.ConcurrentSolves = ini.ReadBool(kEnv, "Allow 2 Concurrent Solves", false) ? 2 : 1;
    if (ini.ReadBool(kEnv, "Allow 3 Concurrent Solves", false)) o.ConcurrentSolves = 3;
    std::string out = ini.ReadString(kEnv, "Outputs Before Run", "delete");
    o.Outputs = out == "move"      ? OutputsBeforeRun::kMove
                : out == "neither" ? OutputsBeforeRun::kNeither
                                   : OutputsBeforeRun::kDelete;
  }
  // 8.
  if (groups.simulation) ReadLengthPeriods(ini, sim);
  // 9.
  RecomputeYears(sim);
  NormaliseCells(sim);
  return do_re;
}

bool ReadOptionsFile(const std::string& path, OptionGroups groups, SessionSettings& s,
                     TSimRecord& sim, Notices& notices, const OptionsReadContext& context) {
  if (!FileExists(path)) return false;
  auto ini = IniFile::Load(path);
  if (!ini) return false;
  return ReadOptions(*ini, groups, s, sim, notices, context);
}

void UpdateOptions(IniFile& ini, const SessionSettings& s, const TSimRecord& sim) {
  ini.SetBool(kOpt, "Warn about Temp Dir name", s.options.WarnTempDirName);
  for (const auto& [k, v] : ModelKeys(s)) ini.Set(kEnv, k, v);
  ini.SetInt(kOpt, "YearloomVersion", kYearloomIniVersion);
  for (const auto& [k, v] : ModelInfoKeys(s)) ini.Set(kEnv, k, v);
  for (const auto& [k, v] : RestOfEnvironment(s, sim, s.paths.next_temp_dir)) ini.Set(kEnv, k, v);
  ini.RemoveSection(kInputs);
  if (s.first_year_files.empty()) {
    ini.Set(kInputs, "0", "");
  } else {
    for (std::size_t i = 0; i < s.first_year_files.size(); ++i) {
      ini.Set(kInputs, std::to_string(i), s.first_year_files[i]);
    }
  }
  WriteSolMethodState(ini, s.methods, sim);
  ini.RemoveSection(kLengths);
  ini.SetInt(kLengths, "Number periods", sim.NumYears);
  for (int i = 1; i <= sim.NumYears && i <= kMaxPeriods; ++i) {
    ini.SetInt(kLengths, std::to_string(i), sim.LengthPeriods[i]);
  }
  if (s.recent_files_read) WriteRecentFiles(ini, s.recent_files, FileExists);
}

std::vector<std::string> SequentialOptionsLines(const SessionSettings& s, const TSimRecord& sim) {
  std::vector<std::string> lines{"[Environment]"};
  auto add = [&](const Pairs& p) {
    for (const auto& [k, v] : p) lines.push_back(k + "=" + v);
  };
  add(ModelKeys(s));
  lines.push_back("Quillo File=" + TabFilePath(s.model));
  lines.push_back("YearloomVersion=" + std::to_string(kYearloomIniVersion));
  add(ModelInfoKeys(s));
  add(RestOfEnvironment(s, sim, s.paths.temp_dir));
  lines.push_back(" ");
  lines.push_back("[Input Files]");
  if (s.first_year_files.empty()) lines.push_back("0=");
  for (std::size_t i = 0; i < s.first_year_files.size(); ++i) {
    lines.push_back(std::to_string(i) + "=" + s.first_year_files[i]);
  }
  for (auto& l : SolMethodStateLines(s.methods, sim)) lines.push_back(std::move(l));
  lines.push_back(" ");
  lines.push_back("[Length Periods]");
  int n = std::clamp(sim.NumYears, 0, kMaxPeriods);
  lines.push_back("Number periods=" + std::to_string(n));
  for (int i = 1; i <= n; ++i) {
    lines.push_back(std::to_string(i) + "=" + std::to_string(sim.LengthPeriods[i]));
  }
  return lines;
}

Status WriteIniOptions(const std::string& path, OptionsForm form, const SessionSettings& s,
                       const TSimRecord& sim, Notices& notices) {
  if (form == OptionsForm::kUpdate) {
    auto ini = IniFile::Load(path);
    if (!ini) return Fail(ini.error() + "[WriteIniOptions]");
    UpdateOptions(*ini, s, sim);
    auto saved = ini->Save(path);
    if (!saved) return Fail(saved.error() + "[TxtCreate][WriteIniOptions]");
    return Ok();
  }
  std::string text;
  for (const auto& l : SequentialOptionsLines(s, sim)) text += l + "\n";
  auto written = WriteFileAtomically(path, text);
  if (!written) {
    std::string error = written.error() + "[TxtCreate][WriteIniOptions]";
    notices.push_back(ErrorMessage(error +
                                   "\r\nIs this file locked by another application?\r\nIf so, "
                                   "free it and try again."));
    return Fail(error);
  }
  return Ok();
}

void ApplyFirstRunDefaults(SessionSettings& s, int processors) {
  Options o;  // the member defaults are the first-run values, apart from these
  o.ConcurrentSolves = processors >= 3 ? 3 : processors == 2 ? 2 : 1;
  o.SolFileShocks = true;
  o.ResultsMapFile = s.options.ResultsMapFile;
  s.options = o;
  s.paths.solvara_dir.clear();
}

}  // namespace yl
