#include "app/dialogs/load_choice_dialog.h"

#include "sim/sim_runs.h"

namespace yl {

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

}  // namespace yl
