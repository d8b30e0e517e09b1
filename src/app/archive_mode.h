#pragma once
// "yearloom archive": the ingredients and results archives of the Zip menu for people who
// script their runs. It answers every question the unattended way (no extra files, keep
// what is there, never load what was restored) and prints what it did.

#include <string>

#include "app/check_mode.h"

namespace yl {

struct ArchiveRequest {
  enum class Action { kSaveIngredients, kSaveResults, kList, kRestore };
  Action action = Action::kList;
  std::string archive;        // relative to current_dir
  std::string dir;            // restore: the directory to restore into
  std::string sim_details;    // save: a ".ds1"; "" the last session
  bool except_model = false;  // save-ingredients: leave the model files out
};

inline constexpr int kArchiveDone = 0;
inline constexpr int kArchiveError = 2;

// Messages and refusals go to env.err, what was done to env.out.
int RunArchiveMode(const ArchiveRequest& request, const CheckEnvironment& env);

}  // namespace yl
