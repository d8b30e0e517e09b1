#pragma once
// The "Which parts to load?" dialog of "Load Sim Details".

#include <string>
#include <vector>

#include "core/prompter.h"
#include "settings/sim_details.h"

namespace yl {

// The four texts of the choices and the check boxes of the dialog.
std::vector<std::string> LoadChoiceTexts(bool no_rerun);
std::string LoadChoicePrompt();
// The dialog's refusals; true when the choice can be loaded.
bool CheckLoadChoice(const LoadChoice& choice, Prompter& prompter);

}  // namespace yl
