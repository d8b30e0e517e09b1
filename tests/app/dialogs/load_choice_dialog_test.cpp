#include "app/dialogs/load_choice_dialog.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

TEST(LoadChoiceDialog, Refusals) {
  ScriptedPrompter prompter;
  EXPECT_FALSE(CheckLoadChoice(LoadChoice{}, prompter));
  EXPECT_EQ(prompter.Last().text,
            "You did not specify any parts to load.\r\nPlease try again, and make sure that one "
            "button is checked.");
  EXPECT_FALSE(CheckLoadChoice(LoadChoice{LoadPart::kColumns, {}}, prompter));
  EXPECT_EQ(prompter.Last().text,
            "You did not specify any parts of the Closure/Shocks page to load.");
  EXPECT_TRUE(CheckLoadChoice(LoadChoice{LoadPart::kColumns, {false, false, true}}, prompter));
  EXPECT_EQ(LoadChoiceTexts(true)[6], "Policy Closures (and Policy Sim Name)");
  EXPECT_EQ(LoadChoiceTexts(false)[6], "Policy Closures (and Rerun Sim Name)");
}

}  // namespace
}  // namespace yl
