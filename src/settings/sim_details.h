#pragma once
// Sim Details: saving a whole setup (".ds1" options text, ".ds2" sim store, ".ds3"-".ds5"
// copies of the run records), loading it wholly or in parts, the simulation description
// (".ds0"), comparing two saved setups, and the last-session store.

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"
#include "settings/options.h"
#include "settings/options_file.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kHelpSimDetailsName = 7030;
inline constexpr int kHelpReports = 7031;

// Where the run records live and whether this is batch work.
struct SimDetailsContext {
  std::string keep_dir;
  bool unattended = false;
};

// Writes the ".ds1", the ".ds2" beside it and, when asked, copies of the run records
// (run 1..3, or 0 for all) whose "Sim Name" and "Sim Directory" match the current ones.
Status WriteDynamicSimInfo(const std::string& ds1_path, bool copy_run_records, int which_run,
                           const SessionSettings& s, const TSimRecord& sim,
                           const SimDetailsContext& ctx, Prompter& prompter);

// "Save Sim Details": the dialog (or, unattended, the default name) and the writing.
// Returns the saved name for the recent-files list; nullopt when nothing was saved.
std::optional<std::string> SaveSimDetails(const SessionSettings& s, const TSimRecord& sim,
                                          const SimDetailsContext& ctx, Prompter& prompter);

// The open dialog of "Load Sim Details" with the ".ds1" rule and the ".ds2" check.
std::optional<std::string> ChooseSimDetailsToLoad(const std::string& start_dir, Prompter& prompter);

enum class LoadPart { kNothing, kAll, kModelData, kSimDetails, kColumns };
struct LoadChoice {
  LoadPart part = LoadPart::kNothing;
  std::array<bool, 5> columns{};  // [1..4]: the Closure/Shocks columns to load
};
// The four texts of the choices and the check boxes of the "Which parts to load?" dialog.
std::vector<std::string> LoadChoiceTexts(bool no_rerun);
std::string LoadChoicePrompt();
// The dialog's refusals; true when the choice can be loaded.
bool CheckLoadChoice(const LoadChoice& choice, Prompter& prompter);

// Loads the chosen parts of the Sim Details in ds1_path. A sim store that cannot be read
// leaves the current simulation as it was.
Status LoadSimDetails(const std::string& ds1_path, const LoadChoice& choice, SessionSettings& s,
                      TSimRecord& sim, const SimDetailsContext& ctx, Prompter& prompter,
                      const OptionsReadContext& read_context = {});

// Copies columns of a loaded record into the current one (names that go with them too),
// refusing another starting year. Returns false when nothing was loaded.
bool LoadColumns(TSimRecord& sim, const TSimRecord& loaded, const std::array<bool, 5>& columns,
                 bool no_rerun, Prompter& prompter);

// The simulation description beside a ".ds1".
std::vector<std::string> SimDescriptionLines(const TSimRecord& sim, bool no_rerun,
                                             std::chrono::system_clock::time_point now);
// "Edit the simulation description": creates it when missing and says where it is.
// Returns its path (to open in the editor), or an error.
Result<std::string> PrepareSimDescription(const std::string& ds1_path, const TSimRecord& sim,
                                          bool no_rerun, std::chrono::system_clock::time_point now,
                                          Prompter& prompter);

// The Sim Details section of reports.
std::vector<std::string> SimDetailsSectionLines(const TSimRecord& sim, bool no_rerun);
// The comparison report of two loaded records.
std::vector<std::string> SimComparisonLines(const TSimRecord& first, const TSimRecord& second,
                                            bool no_rerun);
// "Compare two Sim Details": the dialogs, the report and the closing question. Returns
// the report path when the user wants to view it.
Result<std::optional<std::string>> CompareTwoSimDetails(const std::string& start_dir, bool no_rerun,
                                                        Prompter& prompter);

// The last-session store in the keep directory: read at start (the default simulation
// when it is missing or bad), written at exit.
std::string LastSessionFile(const std::string& keep_dir);
// True when the store was read; otherwise the default simulation is set.
bool LoadLastSession(const std::string& keep_dir, TSimRecord& sim);
Status SaveLastSession(const std::string& keep_dir, const TSimRecord& sim);

}  // namespace yl
