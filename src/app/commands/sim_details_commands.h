#pragma once
// The Sim Details commands of the File menu: saving, choosing what to load, editing the
// simulation description.

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

// An open dialog for a ".ds1": asks again while the name does not end in ".ds1"; a
// missing ".ds2" beside it is an error ("Associated file ... does not exist.\r\n" and
// missing_tail) and ends the choice. nullopt when cancelled or missing.
std::optional<std::string> ChooseSimDetailsFile(const std::string& title,
                                                const std::string& start_dir,
                                                const std::string& missing_tail,
                                                Prompter& prompter);

// The open dialog of "Load Sim Details" with the ".ds1" rule and the ".ds2" check.
std::optional<std::string> ChooseSimDetailsToLoad(const std::string& start_dir, Prompter& prompter);

// "Edit the simulation description": creates it when missing and says where it is.
// Returns its path (to open in the editor), or an error.
Result<std::string> PrepareSimDescription(const std::string& ds1_path, const TSimRecord& sim,
                                          bool no_rerun, std::chrono::system_clock::time_point now,
                                          Prompter& prompter);

}  // namespace yl
