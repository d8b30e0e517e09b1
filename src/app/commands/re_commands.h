#pragma once
// The commands of the Rational Expectations menu and the Sim Overview page's
// rational-expectations rules: the three run tasks, the extra iterations of one run, the
// kept files of each run, and the five settings.

#include <functional>
#include <string>

#include "app/controller.h"
#include "core/prompter.h"

namespace yl {

enum class ReTaskKind { kBaseToPolicy, kBaseAndRerun, kRerunAndPolicy };

// "Run Base to Policy", "Do Base and Base Rerun", "Rerun Base and Run Policy". False when
// refused or not started.
bool StartReTaskCommand(AppController& app, Prompter& prompter, ReTaskKind kind);
// "{Run}: Do Extra Iterations".
bool ExtraIterationsCommand(AppController& app, Prompter& prompter, int run);

enum class KeptReFile { kConvergenceHar, kRorext, kCsv };
// The pattern of a run's kept files ("{stem}*.har"), in the working directory.
std::string KeptFilePattern(const Session& session, int run, KeptReFile kind);
// Offers the run's kept files of that kind and opens the one chosen with `open`.
void ViewKeptFilesCommand(const Session& session, Prompter& prompter, int run, KeptReFile kind,
                          const std::function<void(const std::string& path)>& open);

enum class ReSettingItem { kHarFiles, kRorextFiles, kCsvFiles, kStandardChecks, kSeveralRerun };
// Toggles the setting and confirms what it now does.
void ToggleReSetting(Session& session, Prompter& prompter, ReSettingItem item);
// The Options item "Hide Rational Expectations": refused while the box is ticked.
void ToggleHideRationalExpectations(Session& session, Prompter& prompter);
// The Rerun count of the Sim Overview page: one unless several Rerun iterations are allowed.
void SetRerunIterations(Session& session, Prompter& prompter, int count);

// The question before a first-year RE input file (ROREXT, ITER, EXTRA) is shown while the
// box is ticked: the file to show, or "" when the user cancelled. Other files pass as
// they are.
std::string ReInputFileToShow(const Session& session, Prompter& prompter,
                              const std::string& logical, const std::string& path);

}  // namespace yl
