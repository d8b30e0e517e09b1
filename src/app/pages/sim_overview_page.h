#pragma once
// The Sim Overview page as one object the window binds to: what its fields and labels
// show, and what each edit and button does to the session.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/commands/sol_method_menu.h"
#include "app/session.h"
#include "core/prompter.h"
#include "core/status.h"

namespace yl {

struct SimOverviewFields {
  std::string first_year;                    // "First Year of Base Sims (4 digits)"
  std::string starting_data_note;            // "(i.e., Start from data for year {first-1})"
  std::string num_years;                     // "Number of Years (1 or 2 digits)"
  std::string ending_note;                   // "(i.e., End with data for year {first+n-1})"
  std::vector<std::string> period_lengths;   // "Period {k} is {n} year(s)"
  std::vector<int> period_length_values;     // n of each, for the spin box
  std::array<std::string, 4> name_captions;  // [1..3] "Base Case  [B]" ...
  std::array<std::string, 4> names;          // [1..3]
  bool rerun_shown = true;
  std::string working_dir;
  std::string mapping_file;
  std::string solution_method;
  std::string mapping_button;  // "Change" with a file, "Select" without
  bool mapping_edit_enabled = false;
  // " Rational Expectations ? "
  bool re_visible = false;
  bool do_re = false;
  std::array<int, 4> re_iterations{0, 30, 1, 20};  // [1..3] Base, Rerun, Policy
  bool re_rerun_enabled = false;                   // several Rerun iterations allowed
  int re_policy_start = 0;
  // After the spinner: "years before first Policy shock (ie, with sim for {year})".
  std::string re_policy_start_note;
};

inline constexpr char kPolicyStartBefore[] = "Policy run starts";
inline constexpr char kPolicyStartAfter[] = "years before first Policy shock";

// The caption of a run's name field: "Base Case  [B]", "Base Rerun  [R]", "Policy  [P]".
std::string SimNameCaption(int run);

class SimOverviewPage {
 public:
  struct Hooks {
    std::function<Status(const std::string& path)> open_in_editor;
    std::function<void(const std::string& saved)> saved;  // the recent-files list
    std::function<void(const std::string& chosen)> load;  // loads it as the File menu does
    SolMethodDialogRunner run_method_dialog;
    std::function<void()> omit_periods;  // the File menu's command
  };
  SimOverviewPage(Session& session, Prompter& prompter, Hooks hooks);

  SimOverviewFields View() const;

  // Each edit gives false when it was refused (its message shown); the view then shows
  // the record again.
  bool EditFirstYear(std::string_view text);
  bool EditNumYears(std::string_view text);
  bool SetPeriodLength(int period, int length);
  void EditName(int run, std::string_view text, bool use_patterns);
  void ChangeWorkingDirectory();
  void ChooseMappingFile();
  void EditMappingFile();
  void SaveSimDetails();
  void LoadSimDetails();
  void EditSimDescription();
  // "Change" beside the solution method; true when the method changed.
  bool ChangeSolutionMethod();
  void OmitPeriods();
  void SetDoRationalExpectations(bool on);
  void SetReIterations(int run, int count);
  void SetRePolicyStart(int years);

 private:
  Session& session_;
  Prompter& prompter_;
  Hooks hooks_;
};

}  // namespace yl
