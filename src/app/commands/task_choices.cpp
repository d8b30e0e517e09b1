#include "app/commands/task_choices.h"

#include <algorithm>

namespace yl {

namespace {

const char* RunName(int run) {
  switch (run) {
    case kBase:
      return "Base";
    case kRerun:
      return "Base Rerun";
    default:
      return "Policy";
  }
}

// The years of periods first..N, the whole range chosen.
TasksDialogSetup YearsSetup(const TSimRecord& sim, int first) {
  TasksDialogSetup s;
  first = std::clamp(first, 1, std::max(1, sim.NumYears));
  s.first_period = first;
  for (int k = first; k <= sim.NumYears; ++k) s.years.push_back(std::to_string(sim.Years[k]));
  s.start = 0;
  s.end = static_cast<int>(s.years.size()) - 1;
  return s;
}

}  // namespace

bool TaskAsksForChoices(TaskKind task) {
  switch (task) {
    case TaskKind::kPartBaseSamePartsOthers:
    case TaskKind::kPartBaseSamePartsRerun:
    case TaskKind::kPartRerunSamePartsPolicy:
    case TaskKind::kCompleteBaseAllOthers:
    case TaskKind::kCompleteBaseAllRerun:
    case TaskKind::kCompleteRerunAllPolicy:
    case TaskKind::kSelectedYears:
    case TaskKind::kSsForSelectedYears:
      return true;
    default:
      return false;
  }
}

std::optional<TaskChoices> AskTaskChoices(TaskKind task, const Session& session, int only_run,
                                          int policy_start, const AskTasks& ask,
                                          Prompter& prompter) {
  if (!ask) return std::nullopt;
  const TSimRecord& sim = session.sim;
  const bool two_run = session.settings.options.NoRerun;
  TaskChoices c;
  switch (task) {
    case TaskKind::kPartBaseSamePartsOthers:
    case TaskKind::kPartBaseSamePartsRerun:
    case TaskKind::kPartRerunSamePartsPolicy: {
      const int first = task == TaskKind::kPartRerunSamePartsPolicy ? policy_start : 1;
      auto a = ask(YearsSetup(sim, first));
      if (!a) return std::nullopt;
      c.first = a->first_period;
      c.last = a->last_period;
      c.spreadsheets = a->ss;
      return c;
    }
    case TaskKind::kCompleteBaseAllOthers:
    case TaskKind::kCompleteBaseAllRerun:
    case TaskKind::kCompleteRerunAllPolicy: {
      const bool rerun = task == TaskKind::kCompleteRerunAllPolicy;
      TasksDialogSetup s = YearsSetup(sim, rerun ? policy_start : 1);
      s.ss_shown = false;
      s.ss = false;
      auto a = ask(s);
      if (!a) return std::nullopt;
      c.first = a->first_period;
      c.last = sim.NumYears;
      if (prompter.Confirm(CompleteTaskMessage(task, sim.Years[c.first], two_run), kOk | kCancel) !=
          kOk) {
        return std::nullopt;
      }
      return c;
    }
    case TaskKind::kSelectedYears: {
      std::vector<int> runs;
      if (only_run != 0) {
        runs = {only_run};
      } else {
        runs =
            two_run ? std::vector<int>{kBase, kPolicy} : std::vector<int>{kBase, kRerun, kPolicy};
        if (!session.settings.options.FewerMessages && !session.settings.fewer_messages_effective) {
          prompter.Information(SelectedYearsIntro(two_run));
        }
      }
      for (int run : runs) {
        TasksDialogSetup s = YearsSetup(sim, run == kBase ? 1 : policy_start);
        s.title = std::string("Which of the ") + RunName(run) + " to do ?";
        s.none_shown = runs.size() > 1;
        s.none_caption = std::string("Do none of the ") + RunName(run);
        auto a = ask(s);
        if (!a) return std::nullopt;
        c.spreadsheets = a->ss;
        if (!a->none) c.per_run[run] = PeriodRange{a->first_period, a->last_period};
      }
      return c;
    }
    case TaskKind::kSsForSelectedYears: {
      TasksDialogSetup s = YearsSetup(sim, 1);
      s.ss_shown = false;
      s.runs_shown = true;
      s.runs = {false, true, !two_run, true};
      s.runs_enabled = {false, true, !two_run, true};
      s.deviations_shown = true;
      auto a = ask(s);
      if (!a) return std::nullopt;
      c.first = a->first_period;
      c.last = a->last_period;
      c.ss_runs = a->runs;
      c.do_deviations = a->deviations;
      return c;
    }
    default:
      return c;
  }
}

}  // namespace yl
