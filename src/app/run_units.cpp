#include "app/run_units.h"

#include <algorithm>

#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "cmf/sol_method.h"
#include "cmf/sol_method_ini.h"
#include "core/text_util.h"
#include "model/model_state.h"
#include "platform/dir_list.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

using records::RecordedFile;
using records::RecordedSetting;
using records::UnitDescription;
using records::UnitKind;
using records::UnitRef;

std::string YesNo(bool b) { return b ? "yes" : "no"; }

class Describer {
 public:
  Describer(const TSimRecord& sim, const SessionSettings& s, int policy_start, const UnitRef& u,
            UnitLookups& look)
      : s_(s), sim_(sim), o_(s.options), policy_start_(policy_start), u_(u), look_(look) {
    timeline_ = RecordTimeline(sim, s, policy_start);
    const int n = sim_.NumYears;
    year_ = std::clamp(u.year, 1, std::max(n, 1));
    prefix_ = u.kind == UnitKind::kSpreadsheet
                  ? std::string("ss")
                  : std::to_string(u.year) + (u.kind == UnitKind::kBot ? "bot" : "");
  }

  UnitDescription Build() {
    d_.unit = u_;
    const std::string run = RunWord(u_.run);
    switch (u_.kind) {
      case UnitKind::kSim:
        d_.completion_section = Cal(u_.year);
        d_.completion_key = "Year finished ok";
        d_.unit_text = records::SimulationText(timeline_, u_.run, u_.year);
        d_.rerun_advice = "    [You need to rerun the " + d_.unit_text + " to correct this.]";
        break;
      case UnitKind::kBot:
        d_.completion_section = Cal(u_.year);
        d_.completion_key = "Bot job finished ok";
        d_.unit_text = records::BotJobText(timeline_, u_.year);
        d_.rerun_advice = "    [You need to rerun the " + d_.unit_text + " to correct this.]";
        break;
      case UnitKind::kSpreadsheet:
        d_.completion_section = "Run";
        d_.completion_key = "ss job finished ok";
        d_.unit_text = "spreadsheet job for the " + run;
        d_.rerun_advice =
            "    [You need to rerun the spreadsheet job for the " + run + " to correct this.]";
        break;
    }
    ModelKeys();
    SetUpKeys();
    if (u_.kind == UnitKind::kSpreadsheet) {
      SpreadsheetOutputs();
    } else {
      if (u_.kind == UnitKind::kSim) MethodKeys();
      YearFiles();
      ClosureShockFiles();
      CmfStartFiles();
    }
    return std::move(d_);
  }

 private:
  std::string Cal(int year) const { return std::to_string(timeline_.calendar_year(year)); }

  void Setting(const std::string& section, const std::string& key, const std::string& value,
               const std::string& what, bool compare = true, std::string changed = "") {
    d_.settings.push_back({section, key, value, what, compare, std::move(changed)});
  }
  // The unit's own copy, compared later, and the run-wide copy beside it.
  void Both(const std::string& own, const std::string& wide, const std::string& key,
            const std::string& value, const std::string& what, std::string changed = "") {
    Setting(own, key, value, what, true, std::move(changed));
    Setting(wide, key, value, what, false);
  }
  RecordedFile& File(const std::string& section, const std::string& key, const std::string& path,
                     const std::string& what, bool created = false, unsigned box = 0) {
    RecordedFile f;
    f.section = section;
    f.key = key;
    f.path = path;
    f.what = what;
    f.created = created;
    f.box = box;
    d_.files.push_back(std::move(f));
    return d_.files.back();
  }
  void BothFiles(const std::string& key, const std::string& path, const std::string& what) {
    File(prefix_ + "em", key, path, what);
    File("Model", key, path, what).compare = false;
  }

  void ModelKeys() {
    const ModelState& m = s_.model;
    const std::string own = prefix_ + "em";
    if (m.IsExe) {
      BothFiles("Exe", m.ModelFile, "Model program");
      BothFiles("Axs", CompanionPath(m.ModelFile, ".axs"), "Model auxiliary file");
      BothFiles("Axt", CompanionPath(m.ModelFile, ".axt"), "Model auxiliary table file");
      for (const char* k : {"Kvs", "Kvt"}) Both(own, "Model", k, "", "model");
    } else {
      for (const char* k : {"Exe", "Axs", "Axt"}) Both(own, "Model", k, "", "model");
      BothFiles("Kvs", m.ModelFile, "Model statement file");
      BothFiles("Kvt", CompanionPath(m.ModelFile, ".kvt"), "Model auxiliary table file");
    }
    Both(own, "Model", "Not winconsole exe", YesNo(m.NotWinconsole),
         "not-a-console-program choice");
    BothFiles("Model Info File", s_.min_din.MinPath, "Model Information file");
    const bool din = s_.min_din.DinExists;
    Both(own, "Model", "Is DIN file", YesNo(din), "use of a Dynamic Information file");
    if (din) BothFiles("Dynamic Info File", s_.min_din.DinPath, "Dynamic Information file");
    const std::string run = RunWord(u_.run);
    const std::string sol_changed =
        o_.SolFileShocks
            ? "You are now using SOL Files for Shocks. However, when you last ran\r\n  the " + run +
                  " you were not using SOL Files for Shocks."
            : "You are not now using SOL Files for Shocks. However, when you last ran\r\n  the " +
                  run + " you were using SOL Files for Shocks.";
    Both(own, "Model", "Sol File Shocks", YesNo(o_.SolFileShocks), "SOL Files for Shocks",
         sol_changed);
    Both(own, "Model", "Rerun FC with Dev", YesNo(o_.NoRerun), "two-run mode");
  }

  void SetUpKeys() {
    const std::string own = prefix_ + "er";
    const int r = u_.run;
    const int n = sim_.NumYears;
    Both(own, "Run", "Start year this run", Cal(timeline_.FirstSimulable(r)),
         "first year of the run");
    Both(own, "Run", "End year", Cal(n), "last year");
    Both(own, "Run", "Number of periods", std::to_string(n), "number of periods");
    Both(own, "Run", "Sim Directory", sim_.SimDir, "working directory");
    Both(own, "Run", "Sim name", sim_.SimNames[r], "simulation name");
    Both(own, "Run", "Sim char", std::string(1, RunLetter(r)), "simulation letter");
    // A year depends on the lengths of the periods up to it; the chain on all of them.
    const int last = u_.kind == UnitKind::kSpreadsheet ? std::clamp(n, 0, kMaxPeriods) : year_;
    std::string lengths;
    for (int k = 1; k <= last; ++k) {
      lengths += (k > 1 ? " " : "") + std::to_string(sim_.LengthPeriods[k]);
    }
    Setting(own, "Period lengths", lengths, "lengths of the periods");
    // The run-wide list, kept by the chain's record; one per unit would make describing a
    // long run's units quadratic.
    if (u_.kind == UnitKind::kSpreadsheet) {
      for (int k = 1; k <= last; ++k) {
        Setting("Length Periods", std::to_string(k), std::to_string(sim_.LengthPeriods[k]), "",
                false);
      }
      Setting("Length Periods", "Number periods", std::to_string(n), "", false);
    }
    // Only the spreadsheet jobs read the mapping file.
    Setting(own, "Map file", o_.ResultsMapFile, "results mapping file",
            u_.kind == UnitKind::kSpreadsheet);
    Setting("Run", "Map file", o_.ResultsMapFile, "", false);
    if (u_.kind != UnitKind::kSpreadsheet) {
      Setting(own, "Length this period", std::to_string(sim_.LengthPeriods[year_]),
              "length of the period");
    }
  }

  void MethodKeys() {
    const SolMethodSetting& used = MethodForPeriod(s_.methods, sim_, u_.year);
    for (const auto& [k, v] : SolMethodKeyValues(used)) {
      Setting(prefix_ + "es", k, v, "solution method (" + k + ")");
    }
    for (const auto& [k, v] : SolMethodKeyValues(s_.methods.Normal)) {
      Setting(kSolMethodSection, k, v, "", false);
    }
  }

  std::string Simulation() const { return records::SimulationText(timeline_, u_.run, u_.year); }
  std::string OutputLead(const std::string& kind, const std::string& path) const {
    return "  The " + kind + " file from " + Simulation() + "\r\n    " + path +
           "\r\n   should be the same as the file created in the simulation for that year of the " +
           RunWord(u_.run) + ".";
  }

  void YearFiles() {
    const bool no_rerun = o_.NoRerun;
    const int r = u_.run;
    const int k = u_.year;
    const std::string y = Cal(k);
    const FirstYearFiles& first_year = look_.FirstYear(s_);
    const bool bot = u_.kind == UnitKind::kBot;
    const std::string data_prefix = bot ? "Bot " : "";
    for (int f = 1; f <= sim_.NumDinFiles; ++f) {
      const TDinFileEntry& e = sim_.DinFiles[f];
      if (!e.IsInput) continue;
      InputFile in = ResolveParsedInputFile(sim_, f, k, r, policy_start_, first_year, no_rerun);
      File(y, data_prefix + "Input " + e.Name, look_.InWork(sim_, in.FileName),
           "The input file with logical name " + e.Name);
    }
    const std::string base_sol = InSimDir(sim_, SolutionFileName(sim_, kBase, k, no_rerun));
    if (bot) {
      File(y, "Base Solution file", base_sol, "The Base Solution file");
      // What the closure preparation made is its result, whatever boxes are ticked.
      File(y, "Bot file", InSimDir(sim_, BotFileName(sim_, k, no_rerun)), "The BOT file", true);
      if (o_.SolFileShocks) {
        File(y, "SOL file for Policy shocks", InSimDir(sim_, BotResultsFileName(sim_, k, no_rerun)),
             "The SOL file for Policy shocks", true);
      }
      return;
    }
    const std::string sol = InSimDir(sim_, SolutionFileName(sim_, r, k, no_rerun));
    File(y, "Solution file", sol, "Solution file", true, records::kSolutionFiles).lead =
        OutputLead("Solution", sol);
    const std::string slc = ChangeFileExt(sol, ".slc");
    File(y, "SLC file", slc, "SLC file", true, records::kSlcFiles).lead = OutputLead("SLC", slc);
    const std::string udc = InSimDir(sim_, UdcFileName(sim_, r, k, no_rerun));
    RecordedFile& u = File(y, "UDC file", udc, "UDC file", true, records::kSlcFiles);
    u.lead = OutputLead("UDC", udc);
    u.optional = true;
    const std::string log = InSimDir(sim_, SimLogFileName(sim_, r, k, no_rerun));
    File(y, "Log file", log, "Log file", true, records::kLogFiles).lead = OutputLead("Log", log);
    for (int f = 1; f <= sim_.NumDinFiles; ++f) {
      const TDinFileEntry& e = sim_.DinFiles[f];
      const bool updated = e.IsInput && e.IsUpdated;
      if (!updated && e.IsInput) continue;
      const std::string path =
          InSimDir(sim_, updated ? UpdatedFileName(sim_, f, r, k, no_rerun)
                                 : OutputOnlyFileName(sim_, f, r, k, no_rerun));
      const std::string kind = updated ? "updated" : "output";
      RecordedFile& out = File(y, (updated ? "Updated " : "Output ") + e.Name, path, kind + " file",
                               true, updated ? records::kUpdatedFiles : records::kOtherOutputFiles);
      out.lead = "  The " + kind + " file with logical name " + e.Name + "\r\n   from " +
                 Simulation() + "\r\n    " + path +
                 "\r\n   should be the same as the file created in the simulation for that year "
                 "of the " +
                 RunWord(r) + ".";
    }
    if (r == kBase) return;
    RecordedFile& used = File(y, "Base Solution file used", base_sol, "Base Solution file");
    used.lead = "  The Solution file used in the " + Simulation() +
                "\r\n   should be the same as the file " + base_sol +
                "\r\n   created in the simulation for that year of the Base.";
    File(y, "Bot file", InSimDir(sim_, BotFileName(sim_, k, no_rerun)), "The BOT file", false,
         records::kBotFiles);
    if (o_.SolFileShocks) {
      File(y, "SOL file for Policy shocks", InSimDir(sim_, BotResultsFileName(sim_, k, no_rerun)),
           "The SOL file for Policy shocks", false, records::kSolFiles);
    }
  }

  // The stamps of a closure or shock file and of every file it names.
  void PieceFiles(const std::string& section, const std::string& label, const std::string& path,
                  bool common) {
    if (path.empty()) return;
    const std::string pre = common ? "Common " : "";
    File(section, pre + label + " file", path, pre + label + " file");
    const auto& names = look_.Constituents(path);
    if (!names) return;
    for (std::size_t i = 1; i < names->size(); ++i) {
      File(section, pre + "Constituent " + std::to_string(i), look_.InWork(sim_, (*names)[i]),
           "A file named in the " + pre + label + " file");
    }
  }

  void Column(const std::string& section, int column, const std::string& label) {
    if (CellNamesFile(sim_.CMFCells(kCommonRow, column))) {
      PieceFiles(section, label, look_.Cell(sim_, kCommonRow, column), true);
    }
    if (CellNamesFile(sim_.CMFCells(u_.year, column))) {
      PieceFiles(section, label, look_.Cell(sim_, u_.year, column), false);
    }
  }

  void ClosureShockFiles() {
    const std::string y = Cal(u_.year) + (u_.kind == UnitKind::kBot ? "bot" : "");
    const int closure = ClosureColumn(u_.run);
    Column(y + "c", closure, closure == kBaseClosure ? "Base Closure" : "Policy Closure");
    // A closure preparation reads the Base's shocks, whichever run it prepares for.
    const bool policy_shocks = u_.run == kPolicy && u_.kind == UnitKind::kSim;
    const int shocks = policy_shocks ? kPolicyShocks : kBaseShocks;
    Column(y + "s", shocks, shocks == kBaseShocks ? "Base Shocks" : "Policy Shocks");
  }

  void CmfStartFiles() {
    const std::string section = prefix_ + "ec";
    // A closure preparation's unit belongs to the run it prepares in, whose CMFSTART it reads.
    const int r = u_.run;
    const std::string path = look_.Cell(sim_, kCmfStartRow, CMFStartColumn(r));
    const bool exists = !path.empty() && FileExists(path);
    Setting(section, "UseCMFStart", YesNo(!path.empty()), "use of a CMFSTART file");
    Setting(section, "UseRunSpecificCMFStart", YesNo(!sim_.CMFStartExt[CMFStartColumn(r)].empty()),
            "use of a run-specific CMFSTART file");
    Setting(section, "Exists", YesNo(exists), "existence of the CMFSTART file");
    if (!exists) return;
    File(section, "CMFStart file", path, "CMFSTART file");
    const auto& names = look_.Constituents(path);
    if (!names) return;
    for (std::size_t i = 1; i < names->size(); ++i) {
      File(section, "Constituent " + std::to_string(i), look_.InWork(sim_, (*names)[i]),
           "A file named in the CMFSTART file");
    }
  }

  void SpreadsheetOutputs() {
    const bool no_rerun = o_.NoRerun;
    const int r = u_.run;
    const PeriodRange whole{timeline_.FirstSimulable(r), sim_.NumYears};
    const std::string run = RunWord(r);
    auto out = [&](const std::string& key, const std::string& name, const std::string& kind,
                   unsigned box) {
      const std::string path = InSimDir(sim_, name);
      RecordedFile& f = File("Run", key, path, kind + " file", true, box);
      f.lead = "The " + kind + " file from the " + run + "\r\n    " + path +
               "\r\n   should be the same as the file created in the spreadsheet job for the " +
               run + ".";
      f.optional = true;
    };
    using J = JobKind;
    using P = PartKind;
    out("Output ss YOnY",
        SpreadsheetFileName(sim_, r, J::kTallyr, P::kYonY, whole, policy_start_, no_rerun),
        "year-on-year spreadsheet", records::kSpreadsheetFiles);
    out("Output ss cum",
        SpreadsheetFileName(sim_, r, J::kTallyr, P::kCum, whole, policy_start_, no_rerun),
        "cumulative spreadsheet", records::kSpreadsheetFiles);
    out("Output RSL cum",
        CumulativeSolutionFileName(sim_, r, J::kCumSol, whole, policy_start_, no_rerun),
        "cumulative results RSL", records::kSpreadsheetFiles);
    out("SEQ file", SequenceFileName(sim_, r, false, whole, policy_start_, no_rerun), "sequence",
        records::kSpreadsheetFiles);
    if (r != kPolicy) return;
    out("SEQ dev file", SequenceFileName(sim_, r, true, whole, policy_start_, no_rerun),
        "differences sequence", records::kDeviationFiles);
    out("Output diff YOnY",
        SpreadsheetFileName(sim_, r, J::kVarix, P::kYonY, whole, policy_start_, no_rerun),
        "year-on-year differences spreadsheet", records::kDeviationFiles);
    out("Output diff cum",
        SpreadsheetFileName(sim_, r, J::kVarix, P::kCum, whole, policy_start_, no_rerun),
        "cumulative differences spreadsheet", records::kDeviationFiles);
    out("Output RSL dev",
        CumulativeSolutionFileName(sim_, r, J::kDevSol, whole, policy_start_, no_rerun),
        "cumulative differences RSL", records::kDeviationFiles);
  }

  const SessionSettings& s_;
  const TSimRecord& sim_;
  const Options& o_;
  int policy_start_;
  UnitRef u_;
  UnitLookups& look_;
  records::Timeline timeline_;
  int year_ = 1;
  std::string prefix_;
  UnitDescription d_;
};

}  // namespace

std::string UnitLookups::InWork(const TSimRecord& sim, const std::string& name) {
  if (name.empty() || IsAbsolutePath(name)) return name;
  auto [it, fresh] = names_.try_emplace(name);
  if (!fresh) return it->second;
  const std::string exact = JoinPath(sim.SimDir, name);
  it->second = exact;
  if (FileExists(exact) || name.find(kPathSep) != std::string::npos) return exact;
  // One listing of the working directory serves every name that differs only in case.
  if (!listing_) {
    listing_.emplace();
    for (const DirEntry& e : ListDirectory(sim.SimDir).value_or(std::vector<DirEntry>{})) {
      if (!e.is_directory) listing_->try_emplace(LowerCase(e.name), e.name);
    }
  }
  if (auto found = listing_->find(LowerCase(name)); found != listing_->end()) {
    it->second = JoinPath(sim.SimDir, found->second);
  }
  return it->second;
}

std::string UnitLookups::Cell(const TSimRecord& sim, int row, int column) {
  // Rows that repeat the row before name the same file: keyed by name, not by row.
  if (!CellNamesFile(sim.CMFCells(row, column))) return "";
  return InWork(sim, sim.CMFFullNames(row, column));
}

const std::optional<std::vector<std::string>>& UnitLookups::Constituents(const std::string& path) {
  auto [it, fresh] = constituents_.try_emplace(path);
  if (fresh) {
    std::vector<std::string> names;
    if (AddCmfConstituents(DirOfFile(path), FileNameOf(path), names)) it->second = std::move(names);
  }
  return it->second;
}

const FirstYearFiles& UnitLookups::FirstYear(const SessionSettings& s) {
  if (!first_year_) first_year_ = ParseFirstYearList(s.first_year_files);
  return *first_year_;
}

records::Timeline RecordTimeline(const TSimRecord& sim, const SessionSettings& s,
                                 int policy_start) {
  records::Timeline t;
  t.num_years = sim.NumYears;
  t.policy_start = policy_start;
  t.two_run_mode = s.options.NoRerun;
  t.calendar_year = [years = sim.Years, n = sim.NumYears](int k) {
    return k >= 1 && k <= n ? years[k] : 0;
  };
  return t;
}

records::RecordContext RecordContextOf(const TSimRecord& sim, const SessionSettings& s) {
  records::RecordContext c;
  c.keep_dir = s.paths.keep_dir;
  for (int r = kBase; r <= kPolicy; ++r) c.sim_names[r] = sim.SimNames[r];
  c.two_run_mode = s.options.NoRerun;
  c.developer_mode = s.options.DeveloperMode;
  c.user_ds_name = s.sim_details_file;
  return c;
}

bool BotStillNeeded(const TSimRecord& sim, const SessionSettings& s, int policy_start, int year) {
  return BotStillNeeded(sim, s, policy_start, year, records::RunRecords::Load(s.paths.keep_dir),
                        nullptr);
}

bool BotStillNeeded(const TSimRecord& sim, const SessionSettings& s, int policy_start, int year,
                    const records::RunRecords& kept, UnitLookups* lookups) {
  const records::Timeline t = RecordTimeline(sim, s, policy_start);
  const UnitRef bot{t.BotRun(), year, UnitKind::kBot};
  const auto done = records::CompletedAt(kept, t, bot).stamp;
  const auto base = records::CompletedAt(kept, t, {kBase, year, UnitKind::kSim}).stamp;
  if (!done || !base || *done < *base) return true;
  return !records::StillOk(kept, DescribeUnit(sim, s, policy_start, bot, lookups),
                           records::kWhereToStartResults)
              .empty();
}

records::UnitDescription DescribeUnit(const TSimRecord& sim, const SessionSettings& s,
                                      int policy_start, const records::UnitRef& unit,
                                      UnitLookups* lookups) {
  UnitLookups own;
  return Describer(sim, s, policy_start, unit, lookups ? *lookups : own).Build();
}

}  // namespace yl
