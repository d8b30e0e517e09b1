#include "app/pages/results_page.h"

#include <algorithm>

#include "app/commands/accuracy_command.h"
#include "app/commands/run_checks_commands.h"
#include "app/re_driver.h"
#include "app/run_units.h"
#include "cmf/sol_method.h"
#include "core/number_text.h"
#include "core/text_util.h"
#include "model/first_year_list.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "ratex/re_files.h"
#include "records/file_stamp.h"
#include "records/run_checks.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr char kNoIndication[] = "Can see no indication that this run completed successfully.";

std::string UpperFirst(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::string FirstLine(const std::string& s) { return s.substr(0, s.find("\r\n")); }

bool HasRecord(const records::RunRecords& kept, int run) {
  return !kept.of[static_cast<std::size_t>(run)].Sections().empty();
}

// Whether the file is the one the record stamped; false also when nothing was stamped.
bool FromLastRun(const records::RunRecords& kept, int run, const std::string& section,
                 const std::string& key, const std::string& path) {
  auto text = kept.of[static_cast<std::size_t>(run)].Get(section, key);
  if (!text) return false;
  auto stamp = records::ParseFileStamp(*text);
  return stamp && records::CompareWithStamp(*stamp, path, {}).empty();
}

}  // namespace

ResultsPage::ResultsPage(Session& session, Prompter& prompter,
                         std::function<ViewerContext()> viewers)
    : session_(session), prompter_(prompter), viewers_(std::move(viewers)) {}

int ResultsPage::PolicyStartPeriod() const {
  return FirstPolicyPeriod(session_.sim, session_.settings);
}

int ResultsPage::FirstSimulatedRow(int run) const {
  const int n = std::max(1, session_.sim.NumYears);
  return run == kBase ? 1 : std::min(PolicyStartPeriod(), n);
}

std::vector<ResultsPage::FileEntry> ResultsPage::FileEntries() const {
  std::vector<FileEntry> e = {{"Solution file", YearFileKind::kSolution},
                              {"Log file", YearFileKind::kLog}};
  if (session_.settings.methods.Normal.Method.NumSolutions > 2) {
    e.push_back({"Accuracy Summary", YearFileKind::kAccuracy});
  }
  const TSimRecord& sim = session_.sim;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const int role = sim.DinFiles[f].Role;
    if (role == kOutputOnly || role == kUpdatedInput) {
      e.push_back({sim.DinFiles[f].Name, YearFileKind::kData, f});
    }
  }
  return e;
}

ResultsPageFields ResultsPage::View() const {
  const TSimRecord& sim = session_.sim;
  const Options& o = session_.settings.options;
  ResultsPageFields v;
  v.run_captions = {"", "&Base", "Base &Rerun", "&Policy",
                    NoRerun() ? "&Differences - Policy v Base" : "&Differences - Policy v Rerun"};
  v.run_enabled = {false, true, !NoRerun(), true, true};
  v.run = run_;
  v.all_years = all_years_;
  v.cumulative = cumulative_;
  if (run_ == kResultsDifferences) {
    v.cum_enabled = true;
    v.yony_enabled = o.YonYDifferencesSs;
  } else {
    v.yony_enabled = true;
    v.cum_enabled = !o.AbbreviatedSsJobs;
  }
  v.year_run_captions = {"", "Bas&e  ", "Base Rer&un ", "P&olicy  "};
  v.year_run_enabled = {false, true, !NoRerun(), true};
  v.year_run = year_run_;

  const std::vector<FileEntry> entries = FileEntries();
  for (const FileEntry& e : entries) v.files.push_back(e.caption);
  v.file_row = std::clamp(file_row_, 0, static_cast<int>(entries.size()) - 1);
  const int ps = PolicyStartPeriod();
  v.years.push_back(std::to_string(sim.FirstYear - 1) + " (base year)");
  for (int k = 1; k <= sim.NumYears; ++k) {
    v.years.push_back(std::to_string(sim.Years[k]) + (k < ps ? " (pre-policy)" : ""));
  }
  v.year_row = year_row_ < 0 ? FirstSimulatedRow(year_run_) : std::min(year_row_, sim.NumYears);
  v.year_deepro_enabled = !entries.empty() && entries[static_cast<std::size_t>(v.file_row)].kind ==
                                                  YearFileKind::kSolution;

  const YearFile chosen = ChosenYearFile();
  v.file_label = chosen.path.empty() ? FirstLine(chosen.refusal) : chosen.path;
  if (v.year_row == 0) {
    v.year_label = "The data the first simulation of every run starts from";
  } else if (year_run_ != kBase && v.year_row < ps) {
    v.year_label =
        "Pre-policy year: the " + RunWord(year_run_) + " takes the Base's results for it";
  } else {
    records::Timeline t = RecordTimeline(sim, session_.settings, ps);
    v.year_label = UpperFirst(records::SimulationText(t, year_run_, v.year_row));
  }

  // Name the solution files that are not from the last successful run; the blanket
  // warning only when there is no record to tell.
  const records::RunRecords kept = records::RunRecords::Load(session_.settings.paths.keep_dir);
  if (!HasRecord(kept, year_run_)) {
    v.note = kResultsUnknownNote;
  } else {
    std::vector<std::string> stale;
    for (int k = FirstSimulatedRow(year_run_); k <= sim.NumYears; ++k) {
      const std::string sol = InSimDir(sim, SolutionFileName(sim, year_run_, k, NoRerun()));
      if (!FromLastRun(kept, year_run_, std::to_string(sim.Years[k]), "Solution file", sol)) {
        stale.push_back(std::to_string(sim.Years[k]));
      }
    }
    if (!stale.empty()) {
      std::string years;
      for (const std::string& y : stale) years += (years.empty() ? "" : ", ") + y;
      v.note = "Not from the last successful run of the " + RunWord(year_run_) +
               ": the Solution files for " + years + ".";
    }
  }
  return v;
}

void ResultsPage::SelectRun(int run) {
  if (run < kBase || run > kResultsDifferences || (run == kRerun && NoRerun())) return;
  run_ = run;
  cumulative_ = run == kResultsDifferences;
}

void ResultsPage::SelectAllYears(bool all) { all_years_ = all; }

void ResultsPage::SelectCumulative(bool cumulative) {
  const ResultsPageFields v = View();
  if (cumulative ? v.cum_enabled : v.yony_enabled) cumulative_ = cumulative;
}

void ResultsPage::SelectYearRun(int run) {
  if (run < kBase || run > kPolicy || (run == kRerun && NoRerun())) return;
  year_run_ = run;
}

void ResultsPage::SelectFile(int row) { file_row_ = std::max(0, row); }

void ResultsPage::SelectYear(int row) { year_row_ = std::max(0, row); }

void ResultsPage::Preset(const jobs::PlanRequest& request, bool did_differences) {
  auto ss_ran = [&](int r) { return request.first_ss_year[r] <= request.last_ss_year[r]; };
  auto sim_ran = [&](int r) { return request.first_sim_year[r] <= request.last_sim_year[r]; };
  cumulative_ = false;
  all_years_ = true;
  run_ = kBase;
  int ss_run = 0;
  if (ss_ran(kPolicy)) {
    ss_run = kPolicy;
    if (did_differences) {
      run_ = kResultsDifferences;
      cumulative_ = true;
    } else {
      run_ = kPolicy;
    }
  } else if (ss_ran(kRerun) && !NoRerun()) {
    run_ = ss_run = kRerun;
  } else if (ss_ran(kBase)) {
    run_ = ss_run = kBase;
  }
  if (ss_run != 0) {
    const int first = ss_run == kBase ? 1 : PolicyStartPeriod();
    all_years_ = request.first_ss_year[ss_run] <= first &&
                 request.last_ss_year[ss_run] >= session_.sim.NumYears;
  }
  year_run_ = sim_ran(kPolicy) ? kPolicy : (sim_ran(kRerun) && !NoRerun() ? kRerun : kBase);
  year_row_ = -1;
}

bool ResultsPage::AcceptRecordedFile(int run, const std::string& key, const std::string& path,
                                     const std::string& question, int topic) {
  const records::RunRecords kept = records::RunRecords::Load(session_.settings.paths.keep_dir);
  if (!HasRecord(kept, run)) {
    prompter_.Warning(kNoIndication, kHelpResultsPage, kOk | kHelp);
    return true;
  }
  if (FromLastRun(kept, run, "Run", key, path)) return true;
  return prompter_.Confirm(question, kYes | kNo | kHelp, topic) == kYes;
}

std::string ResultsPage::AssembledCsv() const {
  const TSimRecord& sim = session_.sim;
  const bool diff = run_ == kResultsDifferences;
  return InSimDir(sim, SpreadsheetFileName(sim, diff ? kPolicy : run_,
                                           diff ? JobKind::kVarix : JobKind::kTallyr,
                                           cumulative_ ? PartKind::kCum : PartKind::kYonY,
                                           {1, sim.NumYears}, PolicyStartPeriod(), NoRerun()));
}

std::optional<std::string> ResultsPage::ChooseMatchingFile(const std::string& pattern,
                                                           const std::string& title,
                                                           const std::string& filter_caption,
                                                           int help_topic) {
  const std::string& dir = session_.sim.SimDir;
  if (!AnyFileMatching(dir, FileNameOf(pattern))) {
    prompter_.Information("Are no files with names\r\n" + pattern + "\r\nso nothing to show.",
                          kHelpNoFilesForSomeYears, kOk | kHelp);
    return std::nullopt;
  }
  FileRequest r;
  r.title = title;
  r.filter = filter_caption + "|" + FileNameOf(pattern);
  r.start_dir = dir;
  r.help_topic = help_topic;
  const std::vector<std::string> files = prompter_.ChooseFiles(r);
  if (files.empty()) return std::nullopt;
  return files.front();
}

void ResultsPage::Spreadsheet() {
  const bool diff = run_ == kResultsDifferences;
  const int run = diff ? kPolicy : run_;
  const std::string name = AssembledCsv();
  ViewerContext viewers = viewers_();
  if (!all_years_) {
    if (auto file =
            ChooseMatchingFile(ChangeFileExt(name, "") + "-*.csv", "Select Spreadsheet File",
                               "CSV Files (*.CSV)", kHelpResultsPage)) {
      LaunchSpreadsheet(viewers, *file);
    }
    return;
  }
  const std::string key =
      std::string(diff ? "Output diff " : "Output ss ") + (cumulative_ ? "cum" : "YOnY");
  if (!AcceptRecordedFile(run, key, name,
                          "This file is not the one created during the last successful run.\r\n"
                          "Do you still want to look at it?",
                          kHelpSpreadsheetNotLast)) {
    return;
  }
  LaunchSpreadsheet(viewers, name);
}

void ResultsPage::Graphs() {
  const TSimRecord& sim = session_.sim;
  const bool diff = run_ == kResultsDifferences;
  const int run = diff ? kPolicy : run_;
  const std::string seq = InSimDir(
      sim, SequenceFileName(sim, run, diff, {1, sim.NumYears}, PolicyStartPeriod(), NoRerun()));
  char letter = diff ? 'd' : (run == kPolicy ? 'p' : 'b');
  if (cumulative_) letter = static_cast<char>(letter - 'a' + 'A');
  ViewerContext viewers = viewers_();
  // Without a solution viewer the built-in one draws the run's assembled results instead.
  if (viewers.builtin_viewer && FindSolvaraProgram("tabulon", SearchContextOf(viewers)).empty()) {
    const std::string csv = AssembledCsv();
    if (!FileExists(csv)) {
      prompter_.Error("Cannot find file:\r\n" + csv, kHelpViewers, kOk | kHelp);
      return;
    }
    viewers.builtin_viewer({csv});
    return;
  }
  if (all_years_) {
    LaunchSolutionViewer(viewers, std::string("#") + letter + seq);
    return;
  }
  if (auto file = ChooseMatchingFile(ChangeFileExt(seq, "") + "*.seq", "Select Sequence File",
                                     "SEQ Files (*.SEQ)", kHelpResultsPage)) {
    LaunchSolutionViewer(viewers, std::string("#") + letter + *file);
  }
}

void ResultsPage::Deepro() {
  const TSimRecord& sim = session_.sim;
  const bool diff = run_ == kResultsDifferences;
  const int run = diff ? kPolicy : run_;
  const int ps = PolicyStartPeriod();
  const int first = run == kBase ? 1 : std::min(ps, sim.NumYears);
  std::string rsl =
      InSimDir(sim, CumulativeSolutionFileName(sim, run, diff ? JobKind::kDevSol : JobKind::kCumSol,
                                               {1, sim.NumYears}, ps, NoRerun()));
  int k1 = first, k2 = sim.NumYears;
  if (!all_years_) {
    FileRequest r;
    r.title = "Select RSL File";
    r.filter = "RSL Files (*.RSL)|" + FileNameOf(ChangeFileExt(rsl, "")) + "-*.rsl";
    r.start_dir = sim.SimDir;
    r.help_topic = kHelpDeeproRange;
    const std::vector<std::string> files = prompter_.ChooseFiles(r);
    if (files.empty()) return;
    rsl = files.front();
    const std::string stem = FileNameOf(ChangeFileExt(rsl, ""));
    auto period_of = [&](std::string_view text) {
      auto year = ParseInt(text);
      for (int k = 1; year && k <= sim.NumYears; ++k) {
        if (sim.Years[k] == *year) return k;
      }
      return 0;
    };
    const std::string range = stem.size() >= 9 ? stem.substr(stem.size() - 9) : "";
    k1 = range.size() == 9 && range[4] == '-' ? period_of(range.substr(0, 4)) : 0;
    k2 = range.size() == 9 && range[4] == '-' ? period_of(range.substr(5, 4)) : 0;
    if (k1 == 0 || k2 == 0) {
      prompter_.Error("This file is not of the expected form. Cannot load.", kHelpDeeproRange,
                      kOk | kHelp);
      return;
    }
  }
  const records::Timeline t = RecordTimeline(sim, session_.settings, ps);
  const std::string y1 = std::to_string(sim.Years[k1]), y2 = std::to_string(sim.Years[k2]);
  const std::string solution = InSimDir(sim, SolutionFileName(sim, run, k2, NoRerun()));
  std::string text;
  std::string coefficients;
  if (diff) {
    const int compare = NoRerun() ? kBase : kRerun;
    const std::string udc = InSimDir(sim, UdcFileName(sim, compare, k2, NoRerun()));
    const std::string simulation = records::SimulationText(t, compare, k2);
    text = "Will load cumulative differences for years " + y1 + " to " + y2 + ".";
    if (FileExists(udc)) {
      coefficients = udc;
      text += "\r\nCoefficient values will be taken from the updated data at the end of the\r\n  " +
              simulation + ".";
    } else {
      coefficients =
          ChangeFileExt(InSimDir(sim, SolutionFileName(sim, compare, k2, NoRerun())), ".slc");
      text += "\r\nCoefficient values will be taken from data as it was just before the\r\n  " +
              simulation + ".\r\n [The UDC file after this simulation does not exist.]";
    }
  } else {
    coefficients = ChangeFileExt(solution, ".slc");
    text = "Will load cumulative results for years " + y1 + " to " + y2 + "\r\n of the " +
           RunWord(run) +
           ".\r\nCoefficient values will be taken from data as it was just "
           "before the\r\n  " +
           records::SimulationText(t, run, k2) + ".";
  }
  text += "\r\nClosure shown in Deepro will be taken from the simulation for year " + y2 +
          "\r\n of the " + RunWord(run) + ".";
  prompter_.Information(text, kHelpDeeproRange, kOk | kHelp);
  if (!FileExists(solution)) {
    prompter_.Error("The designated Solution file\r\n     " + solution + "\r\ndoes not exist.",
                    kHelpDeeproRange, kOk | kHelp);
    return;
  }
  if (!FileExists(coefficients)) {
    prompter_.Error("The designated file from which Coefficient values are to be read\r\n     " +
                        coefficients + "\r\ndoes not exist.",
                    kHelpDeeproRange, kOk | kHelp);
    return;
  }
  if (!FileExists(rsl)) {
    prompter_.Error("The designated Header Array (RSL) file containing results\r\n     " + rsl +
                        "\r\ndoes not exist.",
                    kHelpDeeproRange, kOk | kHelp);
    return;
  }
  if (all_years_) {
    const std::string what = diff ? "The Cumulative Differences Header Array (RSL)"
                                  : "The Cumulative Results Header Array (RSL)";
    if (!AcceptRecordedFile(run, diff ? "Output RSL dev" : "Output RSL cum", rsl,
                            what + " file is not the one created during the last successful "
                                   "run.\r\nDo you still want to look at it?",
                            kHelpDeeproRange)) {
      return;
    }
  }
  ViewerContext viewers = viewers_();
  LaunchDeepro(viewers, solution, coefficients, rsl);
}

ResultsPage::YearFile ResultsPage::ChosenYearFile() const {
  const TSimRecord& sim = session_.sim;
  const std::vector<FileEntry> entries = FileEntries();
  YearFile out;
  if (entries.empty() || sim.NumYears < 1) return out;
  const FileEntry& e = entries[static_cast<std::size_t>(
      std::clamp(file_row_, 0, static_cast<int>(entries.size()) - 1))];
  out.kind = e.kind;
  const int row = year_row_ < 0 ? FirstSimulatedRow(year_run_) : std::min(year_row_, sim.NumYears);
  const int ps = PolicyStartPeriod();
  const int run = year_run_;
  const bool rp = run != kBase;
  const bool per_solve = e.kind != YearFileKind::kData;
  if (per_solve) {
    if (row == 0) {
      out.refusal = "There is no " + e.caption + " for the base year.";
      return out;
    }
    if (rp && row < ps) {
      out.refusal = "There is no " + e.caption +
                    " for any pre-policy year.\r\nThe first policy "
                    "sim is for year " +
                    std::to_string(sim.Years[std::min(ps, sim.NumYears)]) + ".";
      return out;
    }
    if (e.kind == YearFileKind::kAccuracy && AltMethodApplies(sim, row) &&
        session_.settings.methods.Alternative.Method.NumSolutions < 3) {
      out.refusal =
          "You are using the alternative solution method for this year.\r\nThis does not "
          "extrapolate from 3 solutions so there is\r\n no Accuracy Summary information "
          "available for this year.";
      out.help_topic = kHelpNoAccuracySummary;
      return out;
    }
    const bool sol = e.kind == YearFileKind::kSolution;
    out.path = InSimDir(sim, sol ? SolutionFileName(sim, run, row, NoRerun())
                                 : SimLogFileName(sim, run, row, NoRerun()));
    out.record_key = sol ? "Solution file" : "Log file";
    out.record_year = sim.Years[row];
    return out;
  }
  // Data files: the data as at the end of the year; an output-only file is the one the
  // simulation from that year's data writes.
  const TDinFileEntry& d = sim.DinFiles[e.logical];
  out.logical = e.logical;
  out.row = row;
  if (rp && row < ps - 1) {
    out.refusal =
        "There are no data files for this run before the last pre-policy year.\r\n[The last "
        "pre-policy year is " +
        std::to_string(sim.Years[ps - 1]) + ".]";
    return out;
  }
  const int owner = rp && row < ps ? kBase : run;  // pre-policy data are the Base's
  if (d.Role == kOutputOnly) {
    if (row >= sim.NumYears) {
      out.refusal =
          "This file is output each year so there is no version of it for the final "
          "year.";
      return out;
    }
    const int writer = rp && row + 1 < ps ? kBase : run;
    out.path = InSimDir(sim, OutputOnlyFileName(sim, e.logical, writer, row + 1, NoRerun()));
    out.record_key = "Output " + d.Name;
    out.record_year = sim.Years[row + 1];
    return out;
  }
  if (row == 0) {
    const auto file = FirstYearFileFor(session_.settings.first_year_files, d.Name);
    if (file && !file->empty() && *file != "??") {
      out.path = FirstYearFilePath(*file, sim.SimDir);
      return out;
    }
    out.refusal =
        "The first-year file of " + d.Name + " has not been named on the Model/Data page.";
    return out;
  }
  out.path = InSimDir(sim, UpdatedFileName(sim, e.logical, owner, row, NoRerun()));
  out.record_key = "Updated " + d.Name;
  out.record_year = sim.Years[row];
  return out;
}

bool ResultsPage::ChooseIterationFile(YearFile& f) {
  const Session& s = session_;
  if (f.kind != YearFileKind::kData || !s.settings.options.Re.DoRe) return true;
  const std::string name = s.sim.DinFiles[f.logical].Name;
  if (!SameText(name, "ROREXT") && !SameText(name, "ITER") && !SameText(name, "EXTRA")) {
    return true;
  }
  if (f.row != FirstSimulatedRow(year_run_) - 1) return true;  // not the first year's input
  const Button b = prompter_.Confirm(
      "With Rational Expectations the file " + name + " read by the first year of the " +
          RunWord(year_run_) +
          "\r\nchanges from one iteration to the next.\r\n\r\nYes: see the file an extra "
          "iteration would start from.\r\nNo: see the file the first iteration used.",
      kYes | kNo | kCancel);
  if (b == kCancel) return false;
  const ratex::ReContext c = ReContextOf(s, PolicyStartPeriod());
  f.path = ratex::REFileToShow(c, ratex::REFileSetsOf(c), year_run_, name, b == kNo, false);
  f.record_key.clear();  // an iteration's copy is in no run record
  return true;
}

void ResultsPage::ViewYearFile() {
  YearFile f = ChosenYearFile();
  if (!f.path.empty() && !ChooseIterationFile(f)) return;
  if (f.path.empty()) {
    if (!f.refusal.empty())
      prompter_.Information(f.refusal, f.help_topic, f.help_topic ? kOk | kHelp : kOk);
    return;
  }
  if (!FileExists(f.path)) {
    prompter_.Error("File " + f.path + " does not exist.");
    return;
  }
  if (!f.record_key.empty()) {
    const records::RunRecords kept = records::RunRecords::Load(session_.settings.paths.keep_dir);
    // Pre-policy data belong to the Base's record.
    int run = year_run_;
    if (run != kBase &&
        f.record_year < session_.sim.Years[std::min(PolicyStartPeriod(), session_.sim.NumYears)]) {
      run = kBase;
    }
    if (!HasRecord(kept, run)) {
      prompter_.Warning(kNoIndication, kHelpResultsPage, kOk | kHelp);
    } else if (!FromLastRun(kept, run, std::to_string(f.record_year), f.record_key, f.path) &&
               prompter_.Confirm("This file is not the one created/used during the last "
                                 "successful run.\r\nDo you still want to look at it?",
                                 kYes | kNo | kHelp, kHelpFileNotLast) != kYes) {
      return;
    }
  }
  ViewerContext viewers = viewers_();
  switch (f.kind) {
    case YearFileKind::kSolution:
      LaunchSolutionViewer(viewers, f.path);
      break;
    case YearFileKind::kAccuracy:
      if (show_accuracy_) {
        const auto summary =
            SolveAccuracySummary(f.path, UpdatedDataFileCount(session_.sim), prompter_);
        if (summary) {
          show_accuracy_(*summary, RunWord(year_run_) + ": Year " + std::to_string(f.record_year));
        }
        break;
      }
      LaunchEditor(viewers, f.path);
      break;
    case YearFileKind::kLog:
      LaunchEditor(viewers, f.path);
      break;
    case YearFileKind::kData:
      if (SameText(FileExtOf(f.path), ".har")) {
        LaunchHeaderArrayViewer(viewers, f.path);
      } else {
        LaunchEditor(viewers, f.path);
      }
      break;
  }
}

void ResultsPage::DeeproYear() {
  const YearFile f = ChosenYearFile();
  if (f.kind != YearFileKind::kSolution) return;
  if (f.path.empty()) {
    prompter_.Information(f.refusal);
    return;
  }
  ViewerContext viewers = viewers_();
  LaunchDeepro(viewers, f.path, "", "");
}

}  // namespace yl
