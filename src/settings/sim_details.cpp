#include "settings/sim_details.h"

#include <algorithm>
#include <ctime>

#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/sim_store.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

std::string KeepRecordFile(const SimDetailsContext& ctx, int run) {
  return JoinPath(ctx.keep_dir, RunBookkeepingFileName(run));
}

bool RecordMatches(const std::string& record, const TSimRecord& sim, int run) {
  auto ini = IniFile::Load(record);
  if (!ini) return false;
  return SameText(ini->ReadString("Run", "Sim Name", "\x01"), sim.SimNames[run]) &&
         SameText(ini->ReadString("Run", "Sim Directory", "\x01"), sim.SimDir);
}

bool CopyIsRecent(const std::string& copy) {
  auto ini = IniFile::Load(copy);
  return ini && ini->ReadInt("Options", "YearloomVersion", 0) >= 300;
}

// A record replaced half-way would lose every unit it books: the copy replaces its
// target whole or not at all.
Status CopyRecordWhole(const std::string& from, const std::string& to) {
  auto text = ReadWholeFile(from);
  if (!text) return Fail(text.error());
  return WriteFileAtomically(to, *text);
}

// A line break in a name would split a line of the ".ds1" or ".ds2" and change what loads.
std::string LineBreakProblem(const SessionSettings& s, const TSimRecord& sim) {
  std::vector<std::pair<std::string, std::string>> names{
      {"working directory", sim.SimDir},
      {"model", s.model.ModelFile},
      {"temporary directory", s.paths.temp_dir},
      {"results mapping file", s.options.ResultsMapFile}};
  for (const auto& line : s.first_year_files) names.emplace_back("data file", line);
  for (int r = kBase; r <= kPolicy; ++r) names.emplace_back("simulation", sim.SimNames[r]);
  for (int c = 1; c <= 4; ++c) {
    for (int row = kCmfStartRow; row <= std::clamp(sim.NumYears, 0, kMaxPeriods); ++row) {
      names.emplace_back("closure/shock file", sim.CMFCells(row, c));
    }
  }
  for (const auto& [what, name] : names) {
    if (name.find_first_of("\r\n") == std::string::npos) continue;
    return "The name of the " + what + "\r\n  " + VisibleName(name) +
           "\r\nholds a line break, which Sim Details files cannot hold.";
  }
  return "";
}

}  // namespace

void RestoreRunRecords(const TSimRecord& sim, const SessionSettings& s, const std::string& keep_dir,
                       Notices& notices) {
  const SimDetailsContext ctx{keep_dir, true};
  const bool no_rerun = s.options.NoRerun;
  for (int r = kBase; r <= kPolicy; ++r) (void)DeleteFileWithRetries(KeepRecordFile(ctx, r));
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && no_rerun) continue;
    std::string copy = RunBookkeepingCopyFile(sim, s.model.ModelName, r, no_rerun);
    if (!FileExists(copy) || !CopyIsRecent(copy)) continue;
    if (auto s2 = CopyRecordWhole(copy, KeepRecordFile(ctx, r)); !s2) {
      notices.push_back(ErrorMessage(s2.error()));
    }
  }
}

Status SaveRunRecordCopy(int run, const SessionSettings& s, const TSimRecord& sim,
                         const std::string& keep_dir, Notices& notices) {
  const SimDetailsContext ctx{keep_dir, true};
  const std::string record = KeepRecordFile(ctx, run);
  if (!FileExists(record) || !RecordMatches(record, sim, run)) return Ok();
  auto copied = CopyRecordWhole(
      record, RunBookkeepingCopyFile(sim, s.model.ModelName, run, s.options.NoRerun));
  if (!copied) notices.push_back(ErrorMessage(copied.error()));
  return copied;
}

Status WriteDynamicSimInfo(const std::string& ds1_path, bool copy_run_records, int which_run,
                           const SessionSettings& s, const TSimRecord& sim,
                           const SimDetailsContext& ctx, Notices& notices) {
  if (std::string problem = LineBreakProblem(s, sim); !problem.empty()) {
    notices.push_back(ErrorMessage(problem));
    return Fail(problem + "[WriteDynamicSimInfo]");
  }
  auto ds1 = WriteIniOptions(ds1_path, OptionsForm::kSequential, s, sim, notices);
  if (!ds1) return Fail(ds1.error() + "[WriteDynamicSimInfo]");
  auto ds2 = WriteSimStore(SimStoreFile(ds1_path), sim);
  if (!ds2) {
    notices.push_back(ErrorMessage(ds2.error()));
    return ds2;
  }
  const bool no_rerun = s.options.NoRerun;
  const std::string& model = s.model.ModelName;
  if (!copy_run_records) {
    for (int r = kBase; r <= kPolicy; ++r) {
      (void)DeleteFileWithRetries(RunBookkeepingCopyFile(sim, model, r, no_rerun));
    }
    return Ok();
  }
  for (int r = kBase; r <= kPolicy; ++r) {
    if (which_run != 0 && which_run != r) continue;
    std::string record = KeepRecordFile(ctx, r);
    if (!FileExists(record) || !RecordMatches(record, sim, r)) continue;
    auto copied =
        CopyKeepingStamp(record, RunBookkeepingCopyFile(sim, model, r, no_rerun), true, &notices);
    if (!copied) return copied;
  }
  return Ok();
}

bool LoadColumns(TSimRecord& sim, const TSimRecord& loaded, const std::array<bool, 5>& columns,
                 bool no_rerun, Notices& notices) {
  if (loaded.FirstYear != sim.FirstYear) {
    notices.push_back(ErrorMessage(
        "When you load just come columns into the Closure/Shocks page, the\r\n Starting year "
        "from the loaded file must be the same as is currently shown\r\n on the Sim Overview "
        "page. But on the Sim Overview page the Starting year is " +
        std::to_string(sim.FirstYear) +
        "\r\n whereas on the Sim Details you are loading from, the Starting year was " +
        std::to_string(loaded.FirstYear) +
        ".\r\nLoading of the specified parts of the Closure/Shocks page will not be done."));
    return false;
  }
  if (loaded.NumYears != sim.NumYears) {
    const std::string cur = std::to_string(sim.NumYears);
    notices.push_back(InformationMessage(
        "Currently there are simulations for " + cur +
        " years\r\nHowever the Simulation Details you are loading from has sims for " +
        std::to_string(loaded.NumYears) + " years.\r\nThere will still be simulations for " + cur +
        " years after you load these Simulation Details.\r\n" +
        (loaded.NumYears < sim.NumYears
             ? "The extra years of the relevant columns on the Closure/Shocks page will be "
               "filled with default names."
             : "The extra years from the Simulation Details you are loading will be ignored.")));
  }
  for (int c = 1; c <= 4; ++c) {
    if (columns[static_cast<std::size_t>(c)]) {
      int run = PatternRun(c, no_rerun);
      sim.SimNames[run] = loaded.SimNames[run];
    }
  }
  for (int c = 1; c <= 4; ++c) {
    if (!columns[static_cast<std::size_t>(c)]) continue;
    sim.CMFStartExt[c] = loaded.CMFStartExt[c];
    for (int row = kCmfStartRow; row <= sim.NumYears; ++row) {
      if (row <= loaded.NumYears) {
        sim.CMFCells(row, c) = loaded.CMFCells(row, c);
      } else {
        SetCellToPattern(sim, row, c, no_rerun);
      }
    }
  }
  RecomputeYears(sim);
  NormaliseCells(sim);
  return true;
}

Status LoadSimDetails(const std::string& ds1_path, const LoadChoice& choice, SessionSettings& s,
                      TSimRecord& sim, const SimDetailsContext& ctx, Notices& notices,
                      const OptionsReadContext& read_context) {
  const std::string ds2 = SimStoreFile(ds1_path);
  const bool all = choice.part == LoadPart::kAll;
  bool sim_loaded = false;
  std::unique_ptr<TSimRecord> stored;
  if (all || choice.part == LoadPart::kSimDetails || choice.part == LoadPart::kColumns) {
    // Read before anything changes, so that a bad store leaves the current setup alone.
    auto r = ReadSimStore(ds2, sim.SimDir);
    if (!r) {
      notices.push_back(ErrorMessage(r.error()));
      return Fail(r.error());
    }
    stored = std::move(*r);
  }
  // Read once for both parts: a Sim Details file can hold a very long first-year list.
  std::optional<IniFile> ds1;
  if (FileExists(ds1_path)) {
    if (auto loaded = IniFile::Load(ds1_path)) ds1 = std::move(*loaded);
  }
  if (ds1 && (all || choice.part == LoadPart::kModelData)) {
    ReadOptions(*ds1, OptionGroups{false, true, false}, s, sim, notices, read_context);
  }
  if (all || choice.part == LoadPart::kSimDetails) {
    if (ds1) ReadOptions(*ds1, OptionGroups{false, false, true}, s, sim, notices, read_context);
    ApplySimStore(sim, *stored);
    sim_loaded = true;
  }
  if (choice.part == LoadPart::kColumns) {
    sim_loaded = LoadColumns(sim, *stored, choice.columns, s.options.NoRerun, notices);
  }
  RecomputeYears(sim);
  NormaliseCells(sim);
  if (all || choice.part == LoadPart::kSimDetails) s.sim_details_file = ds1_path;
  if (sim_loaded && ctx.restore_records) RestoreRunRecords(sim, s, ctx.keep_dir, notices);
  return Ok();
}

std::vector<std::string> SimDescriptionLines(const TSimRecord& sim, bool no_rerun,
                                             std::chrono::system_clock::time_point now) {
  const std::string when = LocalDateText(std::chrono::system_clock::to_time_t(now));
  return {"Simulation Description for Sim Names:",
          SimNamesLine(sim, no_rerun),
          "This Simulation Description file was begun on " + when,
          " when the Working Directory was:",
          "   " + sim.SimDir,
          " "};
}

std::string LastSessionFile(const std::string& keep_dir) {
  return JoinPath(keep_dir, kLastSessionFileName);
}

bool LoadLastSession(const std::string& keep_dir, TSimRecord& sim) {
  std::string path = LastSessionFile(keep_dir);
  if (!FileExists(path)) return false;
  auto r = ReadSimStore(path, sim.SimDir);
  if (!r) {
    SetDefaultSimulation(sim, sim.SimDir);
    return false;
  }
  ApplySimStore(sim, **r);
  return true;
}

Status SaveLastSession(const std::string& keep_dir, const TSimRecord& sim) {
  return WriteSimStore(LastSessionFile(keep_dir), sim);
}

}  // namespace yl
