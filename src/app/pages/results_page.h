#pragma once
// The Results page as one object the window binds to: which run, years and style of the
// assembled results, which file and year of the individual results, and the commands that
// open them in the viewers.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accuracy/acc_summary.h"
#include "app/commands/viewer_launch.h"
#include "app/session.h"
#include "core/prompter.h"
#include "jobs/job_plan.h"

namespace yl {

inline constexpr int kHelpResultsPage = 7021;
inline constexpr int kHelpNoFilesForSomeYears = 7084;
inline constexpr int kHelpSpreadsheetNotLast = 7093;
inline constexpr int kHelpFileNotLast = 7128;
inline constexpr int kHelpNoAccuracySummary = 7137;
inline constexpr int kHelpDeeproRange = 7146;
inline constexpr char kResultsUnknownNote[] =
    "Warning: At present is no check that files shown are uptodate.";

// The all-years group's run: the three runs, then the differences.
inline constexpr int kResultsDifferences = 4;

struct ResultsPageFields {
  std::array<std::string, 5> run_captions;  // [1..4]
  std::array<bool, 5> run_enabled{};
  int run = kBase;
  bool all_years = true;
  bool cumulative = false;
  bool yony_enabled = true;
  bool cum_enabled = true;
  std::array<std::string, 4> year_run_captions;  // [1..3]
  std::array<bool, 4> year_run_enabled{};
  int year_run = kBase;
  std::vector<std::string> files;
  int file_row = 0;
  std::vector<std::string> years;
  int year_row = 0;
  bool year_deepro_enabled = false;
  std::string file_label;  // the file that "&View" opens, or why there is none
  std::string year_label;  // the simulation of the chosen year
  std::string note;        // red: what is not from the last successful run
};

// One entry of the individual-years file list.
enum class YearFileKind { kSolution, kLog, kAccuracy, kData };

class ResultsPage {
 public:
  // The viewers are made afresh for each command: their choices may have changed.
  ResultsPage(Session& session, Prompter& prompter, std::function<ViewerContext()> viewers);

  ResultsPageFields View() const;

  void SelectRun(int run);
  void SelectAllYears(bool all);
  void SelectCumulative(bool cumulative);
  void SelectYearRun(int run);
  void SelectFile(int row);
  void SelectYear(int row);
  // After a whole job ended well: the runs and ranges that job made.
  void Preset(const jobs::PlanRequest& request, bool did_differences);

  void Spreadsheet();
  void Graphs();
  void Deepro();
  // The individual-years box's "&View" and "&Deepro".
  void ViewYearFile();
  void DeeproYear();

  // The accuracy detail window of one solve; unset, "&View" opens the solve's log instead.
  using ShowAccuracy = std::function<void(const AccSummary& summary, const std::string& prefix)>;
  void set_show_accuracy(ShowAccuracy show) { show_accuracy_ = std::move(show); }

  // The file "&View" would open for the current choice, or "" with the reason.
  struct YearFile {
    std::string path;
    std::string refusal;  // the message shown instead
    int help_topic = 0;
    YearFileKind kind = YearFileKind::kSolution;
    std::string record_key;  // the run record's key of the file; "" when not recorded
    int record_year = 0;     // the record's section (calendar year)
    int logical = 0;         // DinFiles number of a data file
    int row = 0;             // year-list row
  };
  YearFile ChosenYearFile() const;

 private:
  struct FileEntry {
    std::string caption;
    YearFileKind kind;
    int logical = 0;  // DinFiles number of a data file
  };
  std::vector<FileEntry> FileEntries() const;
  int PolicyStartPeriod() const;
  // The whole-run spreadsheet of the chosen run and style.
  std::string AssembledCsv() const;
  // "&Some" years: one of the files matching pattern, or nullopt (said when none match).
  std::optional<std::string> ChooseMatchingFile(const std::string& pattern,
                                                const std::string& title,
                                                const std::string& filter_caption, int help_topic);
  // With rational expectations, the first year's ROREXT, ITER or EXTRA differs by
  // iteration: the user picks one. False when the user cancelled.
  bool ChooseIterationFile(YearFile& f);
  // Year-list row of a period: row 0 is the base year.
  int FirstSimulatedRow(int run) const;
  bool NoRerun() const { return session_.settings.options.NoRerun; }
  // The record check of the all-years files; false when the user chose not to look.
  bool AcceptRecordedFile(int run, const std::string& key, const std::string& path,
                          const std::string& question, int topic);

  Session& session_;
  Prompter& prompter_;
  std::function<ViewerContext()> viewers_;
  ShowAccuracy show_accuracy_;
  int run_ = kBase;
  bool all_years_ = true;
  bool cumulative_ = false;
  int year_run_ = kBase;
  int file_row_ = 0;
  int year_row_ = -1;  // -1: the first simulated year of the run
};

}  // namespace yl
