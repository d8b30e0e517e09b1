#include "demosetup/demo_setup.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "cmf/sol_method.h"
#include "core/message.h"
#include "core/text_util.h"
#include "demosetup/demo_setup_load.h"
#include "model/min_file.h"
#include "modelprog/prog_run.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"

namespace yl::demosetup {
namespace {

// Nobody reads them there: the texts are passed on, each on one line.
void Collect(const Notices& notices, std::vector<std::string>& out) {
  for (const Message& m : notices) {
    std::string text = m.text;
    for (char& c : text)
      if (c == '\r') c = ' ';
    out.push_back(text);
  }
}

constexpr int kFirstYear = 2021;
constexpr int kYears = 10;
// Policy shocks in these periods (their files are "pol{year}.psh").
constexpr int kPolicyYears[] = {2024, 2027};

}  // namespace

Result<DemoSetupResult> SetUpDemo(const DemoSetupRequest& request) {
  DemoSetupResult r;
  r.dir = AbsolutePath(request.dir);
  // Command and stored-input files could never name the files in such a directory.
  if (std::string part = UnwritableNamePart(r.dir); !part.empty()) {
    return Fail("A working directory whose name holds " + part +
                " cannot be used: " + VisibleName(r.dir));
  }
  const bool re = request.rational_expectations;
  if (re && request.interpreter)
    return Fail("The forward-looking demo has no interpreter model; leave out --kalvo");
  // Beside the programs in a build tree; under share/ when installed in lib/yearloom/.
  std::vector<std::string> sources;
  for (const char* folder : {"demo", "demo-re"}) {
    if (!re && std::string(folder) == "demo-re") continue;
    std::string source = JoinPath(request.bin_dir, folder);
    const std::string installed = JoinPath(DirOfFile(DirOfFile(RemoveTrailingSep(request.bin_dir))),
                                           std::string("share/yearloom/") + folder);
    if (!DirectoryExists(source) && DirectoryExists(installed)) source = installed;
    if (!DirectoryExists(source)) return Fail("The demo files are missing: " + source);
    sources.push_back(source);
  }
  const char* program = re ? "demoremodel" : request.interpreter ? "demokv.kvs" : "demomodel";
  const std::string model = AbsolutePath(JoinPath(request.bin_dir, program));
  if (!FileExists(model)) return Fail("The demo model is missing: " + model);

  // 1. The files, all or nothing.
  std::vector<std::pair<std::string, std::string>> names;  // name, its source
  for (const std::string& source : sources) {
    std::vector<std::string> here;
    for (const auto& e : std::filesystem::directory_iterator(source))
      if (e.is_regular_file()) here.push_back(e.path().filename().string());
    std::sort(here.begin(), here.end());
    for (const std::string& n : here) names.emplace_back(n, JoinPath(source, n));
  }
  for (const auto& [n, from] : names) {
    const std::string target = JoinPath(r.dir, n);
    if (FileExists(target) && !FilesEqual(target, from))
      return Fail("The file " + target + " already exists and differs from the demo's " + n +
                  "; nothing was changed");
  }
  if (!ForceDirectories(r.dir)) return Fail("Cannot create directory " + r.dir);
  for (const auto& [n, from] : names) {
    const std::string target = JoinPath(r.dir, n);
    if (!FileExists(target)) {
      if (auto s = CopyKeepingStamp(from, target, false); !s)
        return Fail("Cannot copy " + n + " to " + r.dir + ": " + s.error());
    }
    r.files.push_back(target);
  }

  // 2. The simulation: ten one-year periods of the demo model.
  Notices notices;
  std::unique_ptr<TSimRecord> sim = CreateSimRecord();
  SetDefaultSimulation(*sim, r.dir);
  std::optional<std::string> interpreter;
  if (request.interpreter && FileExists(JoinPath(request.bin_dir, "kalvo")))
    interpreter = AbsolutePath(JoinPath(request.bin_dir, "kalvo"));
  auto loaded = LoadDemoModel(model, interpreter, r.dir, *sim, notices);
  Collect(notices, r.messages);
  notices.clear();
  if (!loaded)
    return Fail(loaded.error() + (r.messages.empty() ? std::string() : ": " + r.messages.back()));

  sim->NumYears = kYears;
  sim->FirstYear = kFirstYear;
  sim->SimNames[kBase] = "BS1";
  sim->SimNames[kRerun] = "BR1";
  sim->SimNames[kPolicy] = "PL1";
  sim->LengthPeriods.Fill(1);
  sim->CMFCells.Fill("");
  sim->CMFCells(kCommonRow, kBaseClosure) = re ? "rebase" : "base";
  sim->CMFCells(kCommonRow, kBaseShocks) = "base";
  sim->CMFCells(kCommonRow, kPolicyClosure) = re ? "repolicy" : "policy";
  bool shocked = false;
  for (int k = 1; k <= kYears; ++k) {
    sim->CMFCells(k, kBaseClosure) = "?";
    sim->CMFCells(k, kBaseShocks) = "?";
    sim->CMFCells(k, kPolicyClosure) = "?";
    const int year = kFirstYear + k - 1;
    for (int y : kPolicyYears)
      if (y == year) {
        sim->CMFCells(k, kPolicyShocks) = "pol" + std::to_string(year);
        shocked = true;
      }
    // From the first policy shock on, every period is a Policy period.
    if (shocked && sim->CMFCells(k, kPolicyShocks).empty()) sim->CMFCells(k, kPolicyShocks) = "?";
  }
  ResetRowsAboveNumYears(*sim);
  RecomputeYears(*sim);
  NormaliseCells(*sim);

  // 3. The session around it, and the Sim Details.
  SessionSettings s;
  s.model = loaded->model;
  s.min_din = loaded->info;
  // What the release check would report; the program checks it again when it loads.
  s.model.Release = {modelprog::kReleaseCode, modelprog::kProgramVersion, modelprog::kCompiler};
  s.paths.work_dir = r.dir;
  s.options.ResultsMapFile = JoinPath(r.dir, "demo.map");
  // As the program recommends for a model of this release.
  s.options.SolFileShocks = true;
  s.methods.Normal.Method = GraggDefaultSolMethod();
  s.methods.Alternative.Method = GraggDefaultSolMethod();
  if (re) {
    s.re_available = true;
    s.options.Re.DoRe = true;
    s.options.Re.BaseIterations = kDemoReBaseIterations;
    s.options.Re.RerunIterations = kDemoReRerunIterations;
    s.options.Re.PolicyIterations = kDemoRePolicyIterations;
  }
  for (int i = 1; i <= sim->NumMinFiles; ++i) {
    const TMinFileEntry& m = sim->MinFiles[i];
    if (m.Special || !m.IsInput) continue;
    const std::string file = JoinPath(r.dir, LowerCase(Trim(m.Name)) + ".har");
    if (!FileExists(file)) return Fail("The demo data file " + file + " is missing");
    s.first_year_files.push_back("File " + Trim(m.Name) + " = " + QuoteIfNeeded(file) + " ; ! " +
                                 Trim(m.Description));
  }
  r.sim_details = DefaultSimDetailsFile(*sim, s.model.ModelName, false);
  SimDetailsContext ctx;
  ctx.unattended = true;
  auto w = WriteDynamicSimInfo(r.sim_details, false, 0, s, *sim, ctx, notices);
  Collect(notices, r.messages);
  if (!w) return Fail("Cannot write the Sim Details file " + r.sim_details + ": " + w.error());
  return r;
}

}  // namespace yl::demosetup
