#pragma once
// The Sim Details commands of the File menu: saving, choosing what to load, editing the
// simulation description and comparing two saved setups.

#include <chrono>
#include <optional>
#include <string>

#include "core/prompter.h"
#include "core/status.h"
#include "settings/sim_details.h"

namespace yl {

inline constexpr int kHelpSimDetailsName = 7030;
inline constexpr int kHelpReports = 7031;

// "Save Sim Details": the dialog (or, unattended, the default name) and the writing.
// Returns the saved name for the recent-files list; nullopt when nothing was saved.
std::optional<std::string> SaveSimDetails(const SessionSettings& s, const TSimRecord& sim,
                                          const SimDetailsContext& ctx, Prompter& prompter);

// The open dialog of "Load Sim Details" with the ".ds1" rule and the ".ds2" check.
std::optional<std::string> ChooseSimDetailsToLoad(const std::string& start_dir, Prompter& prompter);

// "Edit the simulation description": creates it when missing and says where it is.
// Returns its path (to open in the editor), or an error.
Result<std::string> PrepareSimDescription(const std::string& ds1_path, const TSimRecord& sim,
                                          bool no_rerun, std::chrono::system_clock::time_point now,
                                          Prompter& prompter);

// "Compare two Sim Details": the dialogs, the report and the closing question. Returns
// the report path when the user wants to view it.
Result<std::optional<std::string>> CompareTwoSimDetails(const std::string& start_dir, bool no_rerun,
                                                        Prompter& prompter);

}  // namespace yl
