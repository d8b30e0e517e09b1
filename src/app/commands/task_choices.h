#pragma once
// The questions a Tasks-menu item asks before it can plan its big job: which years, which
// runs, whether to assemble spreadsheets. Each answer goes into the task's choices.

#include <optional>

#include "app/dialogs/tasks_dialog.h"
#include "app/session.h"
#include "app/tasks.h"
#include "core/prompter.h"

namespace yl {

// Whether the task asks anything before it runs.
bool TaskAsksForChoices(TaskKind task);

// only_run: for the part-of-one-run items ("Run part of Base Case", ...), that run; 0 for
// "Run Simulations for Selected Years", which asks about each run in turn. nullopt when
// the user cancelled a dialog or a question.
std::optional<TaskChoices> AskTaskChoices(TaskKind task, const Session& session, int only_run,
                                          int policy_start, const AskTasks& ask,
                                          Prompter& prompter);

}  // namespace yl
