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

constexpr char kDs1Filter[] = "Sim Details files (*.DS1)|*.DS1";
constexpr char kDs1OpenFilter[] = "Sim Details files (*.DS1)|*.ds1";

bool HasDs1Ext(const std::string& path) { return SameText(FileExtOf(path), ".ds1"); }

void SayDs1Rule(Prompter& prompter) {
  prompter.Information("Sim Details file name must end with \".ds1\".\r\nPlease choose it again.",
                       kHelpSimDetailsName);
}

// Asks until a ".ds1" with its ".ds2" is chosen; nullopt when cancelled.
std::optional<std::string> ChooseDs1(const std::string& title, const std::string& start_dir,
                                     const std::string& missing_tail, Prompter& prompter) {
  for (;;) {
    auto files = prompter.ChooseFiles(
        FileRequest{title, kDs1OpenFilter, start_dir, "", false, false, kHelpSimDetailsName});
    if (files.empty() || files.front().empty()) return std::nullopt;
    const std::string& path = files.front();
    if (!HasDs1Ext(path)) {
      SayDs1Rule(prompter);
      continue;
    }
    std::string ds2 = SimStoreFile(path);
    if (!FileExists(ds2)) {
      prompter.Error("Associated file " + ds2 + " does not exist.\r\n" + missing_tail);
      return std::nullopt;
    }
    return path;
  }
}

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

// After a simulation part was loaded, the run records follow the loaded names.
void ReplaceRunRecords(const TSimRecord& sim, const SessionSettings& s,
                       const SimDetailsContext& ctx, Prompter& prompter) {
  const bool no_rerun = s.options.NoRerun;
  for (int r = kBase; r <= kPolicy; ++r) (void)DeleteFileWithRetries(KeepRecordFile(ctx, r));
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && no_rerun) continue;
    std::string copy = RunBookkeepingCopyFile(sim, s.model.ModelName, r, no_rerun);
    if (!FileExists(copy) || !CopyIsRecent(copy)) continue;
    (void)CopyKeepingStamp(copy, KeepRecordFile(ctx, r), true, &prompter);
  }
}

std::string Underline(const std::string& title) { return std::string(title.size(), '-'); }

std::string Quoted(const std::string& name) { return name.empty() ? "\"none\"" : name; }

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

Status WriteDynamicSimInfo(const std::string& ds1_path, bool copy_run_records, int which_run,
                           const SessionSettings& s, const TSimRecord& sim,
                           const SimDetailsContext& ctx, Prompter& prompter) {
  if (std::string problem = LineBreakProblem(s, sim); !problem.empty()) {
    prompter.Error(problem);
    return Fail(problem + "[WriteDynamicSimInfo]");
  }
  auto ds1 = WriteIniOptions(ds1_path, OptionsForm::kSequential, s, sim, prompter);
  if (!ds1) return Fail(ds1.error() + "[WriteDynamicSimInfo]");
  auto ds2 = WriteSimStore(SimStoreFile(ds1_path), sim);
  if (!ds2) {
    prompter.Error(ds2.error());
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
        CopyKeepingStamp(record, RunBookkeepingCopyFile(sim, model, r, no_rerun), true, &prompter);
    if (!copied) return copied;
  }
  return Ok();
}

std::optional<std::string> SaveSimDetails(const SessionSettings& s, const TSimRecord& sim,
                                          const SimDetailsContext& ctx, Prompter& prompter) {
  const bool no_rerun = s.options.NoRerun;
  std::string dflt = DefaultSimDetailsFile(sim, s.model.ModelName, no_rerun);
  std::string path;
  if (ctx.unattended && !dflt.empty()) {
    path = dflt;
  } else {
    for (;;) {
      auto files = prompter.ChooseFiles(FileRequest{"Save Sim Details", kDs1Filter, sim.SimDir,
                                                    dflt.empty() ? "*" : FileNameOf(dflt), true,
                                                    false, kHelpSimDetailsName});
      if (files.empty() || files.front().empty()) return std::nullopt;
      path = ResolveAgainst(sim.SimDir, files.front());
      if (!HasDs1Ext(path)) {
        SayDs1Rule(prompter);
        continue;
      }
      if (FileExists(path) && !ctx.unattended &&
          prompter.Confirm("Overwrite existing Sim Details in file\r\n" + path, kYes | kNo) !=
              kYes) {
        continue;
      }
      break;
    }
  }
  if (!WriteDynamicSimInfo(path, true, 0, s, sim, ctx, prompter)) return std::nullopt;
  return path;
}

std::optional<std::string> ChooseSimDetailsToLoad(const std::string& start_dir,
                                                  Prompter& prompter) {
  return ChooseDs1("Sim Details Files", start_dir, "No action taken.", prompter);
}

std::vector<std::string> LoadChoiceTexts(bool no_rerun) {
  return {"Load all",
          "Load just Model/Data part (affects only Model/Data and Other Files pages)",
          "Load just Sim Details part (affects all of Sim Overview and Closure/Shocks pages)",
          "Load just the following parts of the Closure/Shocks page :",
          "Base Closures (and Base Sim Name)",
          "Base Shocks (and Base Sim Name)",
          "Policy Closures (and " + RunWord(RerunOrPolicy(no_rerun)) + " Sim Name)",
          "Policy Shocks (and Policy Sim Name)"};
}

std::string LoadChoicePrompt() {
  return "Please indicate which parts to load.\r\nClick on the Help button if you are not sure "
         "about the consequences\r\n of the various choices.\r\nNote that, in all cases, the "
         "record of Times and Dates of previous runs relating\r\n to the new Sim Names will be "
         "loaded.";
}

bool CheckLoadChoice(const LoadChoice& choice, Prompter& prompter) {
  if (choice.part == LoadPart::kNothing) {
    prompter.Information(
        "You did not specify any parts to load.\r\nPlease try again, and make sure that one "
        "button is checked.");
    return false;
  }
  if (choice.part == LoadPart::kColumns &&
      !(choice.columns[1] || choice.columns[2] || choice.columns[3] || choice.columns[4])) {
    prompter.Information("You did not specify any parts of the Closure/Shocks page to load.");
    return false;
  }
  return true;
}

bool LoadColumns(TSimRecord& sim, const TSimRecord& loaded, const std::array<bool, 5>& columns,
                 bool no_rerun, Prompter& prompter) {
  if (loaded.FirstYear != sim.FirstYear) {
    prompter.Error(
        "When you load just come columns into the Closure/Shocks page, the\r\n Starting year "
        "from the loaded file must be the same as is currently shown\r\n on the Sim Overview "
        "page. But on the Sim Overview page the Starting year is " +
        std::to_string(sim.FirstYear) +
        "\r\n whereas on the Sim Details you are loading from, the Starting year was " +
        std::to_string(loaded.FirstYear) +
        ".\r\nLoading of the specified parts of the Closure/Shocks page will not be done.");
    return false;
  }
  if (loaded.NumYears != sim.NumYears) {
    const std::string cur = std::to_string(sim.NumYears);
    prompter.Information(
        "Currently there are simulations for " + cur +
        " years\r\nHowever the Simulation Details you are loading from has sims for " +
        std::to_string(loaded.NumYears) + " years.\r\nThere will still be simulations for " + cur +
        " years after you load these Simulation Details.\r\n" +
        (loaded.NumYears < sim.NumYears
             ? "The extra years of the relevant columns on the Closure/Shocks page will be "
               "filled with default names."
             : "The extra years from the Simulation Details you are loading will be ignored."));
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
                      TSimRecord& sim, const SimDetailsContext& ctx, Prompter& prompter,
                      const OptionsReadContext& read_context) {
  const std::string ds2 = SimStoreFile(ds1_path);
  const bool all = choice.part == LoadPart::kAll;
  bool sim_loaded = false;
  std::unique_ptr<TSimRecord> stored;
  if (all || choice.part == LoadPart::kSimDetails || choice.part == LoadPart::kColumns) {
    // Read before anything changes, so that a bad store leaves the current setup alone.
    auto r = ReadSimStore(ds2, sim.SimDir);
    if (!r) {
      prompter.Error(r.error());
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
    ReadOptions(*ds1, OptionGroups{false, true, false}, s, sim, prompter, read_context);
  }
  if (all || choice.part == LoadPart::kSimDetails) {
    if (ds1) ReadOptions(*ds1, OptionGroups{false, false, true}, s, sim, prompter, read_context);
    ApplySimStore(sim, *stored);
    sim_loaded = true;
  }
  if (choice.part == LoadPart::kColumns) {
    sim_loaded = LoadColumns(sim, *stored, choice.columns, s.options.NoRerun, prompter);
  }
  RecomputeYears(sim);
  NormaliseCells(sim);
  if (sim_loaded) ReplaceRunRecords(sim, s, ctx, prompter);
  return Ok();
}

std::vector<std::string> SimDescriptionLines(const TSimRecord& sim, bool no_rerun,
                                             std::chrono::system_clock::time_point now) {
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm = LocalTime(t);
  char when[64];
  std::strftime(when, sizeof when, "%d-%b-%Y at %H:%M:%S", &tm);
  return {"Simulation Description for Sim Names:",
          SimNamesLine(sim, no_rerun),
          std::string("This Simulation Description file was begun on ") + when,
          " when the Working Directory was:",
          "   " + sim.SimDir,
          " "};
}

Result<std::string> PrepareSimDescription(const std::string& ds1_path, const TSimRecord& sim,
                                          bool no_rerun, std::chrono::system_clock::time_point now,
                                          Prompter& prompter) {
  std::string ds0 = SimDescriptionFile(ds1_path);
  if (FileExists(ds0)) {
    prompter.Information(
        "The current Simulation Description for these Simulation Details\r\n is in the "
        "file\r\n   " +
        ds0 + "\r\nPlease edit this file and then save the changes.");
    return ds0;
  }
  auto w = WriteTextLines(ds0, SimDescriptionLines(sim, no_rerun, now));
  if (!w) return Fail(w.error());
  prompter.Information(
      "At present there is no Simulation Description for these Simulation Details.\r\nPlease "
      "edit the file\r\n   " +
      ds0 + "\r\n and then save the changes.");
  return ds0;
}

std::vector<std::string> SimDetailsSectionLines(const TSimRecord& sim, bool no_rerun) {
  std::vector<std::string> l{"Report of Sim Details", " "};
  l.push_back("Sim Name for Base is : " + sim.SimNames[kBase]);
  if (!no_rerun) l.push_back("Sim Name for Rerun is : " + sim.SimNames[kRerun]);
  l.push_back("Sim Name for Policy is : " + sim.SimNames[kPolicy]);
  l.push_back("First sim of Base produces data for year " + std::to_string(sim.Years[1]));
  l.push_back("Last sim of Base produces data for year " + std::to_string(sim.Years[sim.NumYears]));
  l.push_back(" ");
  l.push_back(std::string("Year") + "    Base CLS" + "  Base Shock" + " Policy CLS" +
              " Policy Shock");
  for (int k = 1; k <= sim.NumYears; ++k) {
    std::string line = std::to_string(sim.Years[k]) + "    ";
    for (int c = 1; c <= 4; ++c) line += PadLeft(sim.CMFCells(k, c), 8) + " | ";
    l.push_back(line);
  }
  return l;
}

std::vector<std::string> SimComparisonLines(const TSimRecord& first, const TSimRecord& second,
                                            bool no_rerun) {
  std::vector<std::string> l;
  auto section = [&](const std::string& title, const TSimRecord& sim) {
    l.push_back(title);
    l.push_back(Underline(title));
    l.push_back(" ");
    for (auto& line : SimDetailsSectionLines(sim, no_rerun)) l.push_back(std::move(line));
    l.push_back(" ");
  };
  section("Summary of First Simulation", first);
  section("Summary of Second Simulation", second);
  l.push_back("Summary of Differences");
  l.push_back(Underline("Summary of Differences"));
  l.push_back(" ");
  if (first.FirstYear != second.FirstYear) {
    l.push_back("They start at different years. Sorry, nothing more to report.");
    return l;
  }
  int rows = std::min(first.NumYears, second.NumYears);
  if (first.NumYears != second.NumYears) {
    l.push_back("Only comparing the first " + std::to_string(rows) + " rows");
  }
  static const char* const kColumns[5] = {"", "Base Closures", "Base Shocks", "Policy Closures",
                                          "Policy Shocks"};
  for (int c = 1; c <= 4; ++c) {
    for (int k = 1; k <= rows; ++k) {
      const std::string& a = first.CMFCells(k, c);
      const std::string& b = second.CMFCells(k, c);
      if (SameText(a, b)) continue;
      l.push_back(std::string(kColumns[c]) + " Year " + std::to_string(first.Years[k]) +
                  ". First is " + Quoted(a) + ", second is " + Quoted(b));
    }
  }
  return l;
}

Result<std::optional<std::string>> CompareTwoSimDetails(const std::string& start_dir, bool no_rerun,
                                                        Prompter& prompter) {
  const std::string again = "Please try again.";
  auto first = ChooseDs1("First Sim Details File", start_dir, again, prompter);
  if (!first) return std::optional<std::string>{};
  auto second = ChooseDs1("Second Sim Details File", DirOfFile(*first), again, prompter);
  if (!second) return std::optional<std::string>{};
  auto a = ReadSimStore(SimStoreFile(*first), start_dir);
  if (!a) return Fail(a.error() + "[CompareTwoSimDetails]");
  auto b = ReadSimStore(SimStoreFile(*second), start_dir);
  if (!b) return Fail(b.error() + "[CompareTwoSimDetails]");
  auto files = prompter.ChooseFiles(
      FileRequest{"Report Differences in Closure/Shocks files between Two Simulations",
                  "Sim Comparison Report files (*.DRC)|*.DRC", start_dir,
                  ChangeFileExt(FileNameOf(*first), ".DRC"), true, false, kHelpReports});
  if (files.empty() || files.front().empty()) return std::optional<std::string>{};
  std::string report = ResolveAgainst(start_dir, files.front());
  auto w = WriteTextLines(report, SimComparisonLines(**a, **b, no_rerun));
  if (!w) return Fail(w.error() + "[CompareTwoSimDetails]");
  if (prompter.Information(
          "Report of Closure/Shocks page has been written.\r\nDo you want to view the report now?",
          kHelpReports, kYes | kNo) == kYes) {
    return std::optional<std::string>{report};
  }
  return std::optional<std::string>{};
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
