#include "reports/when_run_report.h"

#include <algorithm>

#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::reports {

namespace {

using records::UnitKind;
using records::UnitRef;
using Stamp = std::optional<std::uint64_t>;

constexpr char kRerunBefore[] = "   %% Needs to be rerun - was completed BEFORE ";
constexpr char kRerunSince[] = "   %% Needs to be rerun since ";

class WhenRun {
 public:
  WhenRun(const records::RunRecords& r, const records::Timeline& t, const TSimRecord& sim,
          const DateTextOf& date)
      : r_(r), t_(t), sim_(sim), date_(date) {}

  std::vector<std::string> Lines() {
    for (int run = kBase; run <= kPolicy; ++run) {
      if (t_.RunUsed(run)) RunSection(static_cast<yl::Run>(run));
    }
    BotJobs();
    return std::move(l_);
  }

 private:
  Stamp At(int run, int year, UnitKind kind) const {
    return records::CompletedAt(r_, t_, UnitRef{static_cast<yl::Run>(run), year, kind}).stamp;
  }
  std::string Completion(const Stamp& s) const {
    return s ? "Completed on " + date_(*s) : std::string("Not run");
  }
  // A unit completed at `own` that depends on `dep`, named `what`.
  void Against(const Stamp& own, const Stamp& dep, const std::string& what) {
    if (!dep) {
      l_.push_back(kRerunSince + what + " has NOT been completed.");
    } else if (*own < *dep) {
      l_.push_back(kRerunBefore + what);
    }
  }
  // Only an earlier completion is flagged: the unit depended on is listed just above (or,
  // for a spreadsheet job, in the lines of its own run), "Not run" when it never ran.
  void IfBefore(const Stamp& own, const Stamp& dep, const std::string& what) {
    if (dep && *own < *dep) l_.push_back(kRerunBefore + what);
  }
  void RunSection(yl::Run run) {
    const std::string word = RunWord(run);
    const bool no_rerun = t_.two_run_mode;
    l_.push_back(RunLabel(run));
    const int first = t_.FirstSimulable(run);
    bool any = false;
    for (int y = first; y <= t_.num_years; ++y) any = any || At(run, y, UnitKind::kSim);
    if (!any) {
      l_.push_back("None have been run.");
    } else {
      for (int y = first; y <= t_.num_years; ++y) {
        const Stamp own = At(run, y, UnitKind::kSim);
        l_.push_back(" " + std::to_string(t_.calendar_year(y)) + " (" +
                     SimBaseName(sim_, run, y, no_rerun) + " number " + std::to_string(y) +
                     "): " + Completion(own));
        if (!own) continue;
        if (y > first)
          IfBefore(own, At(run, y - 1, UnitKind::kSim), "previous year of the " + word);
        if (run != kBase) {
          // Both follow the Base's solution of the year (through its BOT job); the Policy's
          // years do not wait for the Rerun's.
          Against(own, At(kBase, y, UnitKind::kSim), "same year of the Base");
          Against(own, At(t_.BotRun(), y, UnitKind::kBot), "BOT job of same year");
        }
      }
    }
    const Stamp ss = At(run, t_.num_years + 1, UnitKind::kSpreadsheet);
    l_.push_back(word + " spreadsheet job: " + Completion(ss));
    if (ss) {
      Stamp last;
      for (int y = first; y <= t_.num_years; ++y) {
        const Stamp s = At(run, y, UnitKind::kSim);
        if (s && (!last || *s > *last)) last = s;
      }
      IfBefore(ss, last, "last simulation of the " + word);
      if (run == kPolicy) {
        const yl::Run pre = t_.PrerequisiteRun();
        Against(ss, At(pre, t_.num_years + 1, UnitKind::kSpreadsheet),
                "spreadsheet job of the " + RunWord(pre));
      }
    }
    l_.push_back("");
  }

  // The closure preparations, of the years the Rerun and the Policy simulate.
  void BotJobs() {
    l_.push_back("BOT jobs:");
    const yl::Run bot_run = t_.BotRun();
    const int first = t_.FirstSimulable(bot_run);
    bool any = false;
    for (int y = first; y <= t_.num_years; ++y) any = any || At(bot_run, y, UnitKind::kBot);
    if (!any) {
      l_.push_back("None have been run.");
      return;
    }
    for (int y = first; y <= t_.num_years; ++y) {
      const Stamp own = At(bot_run, y, UnitKind::kBot);
      l_.push_back(" " + std::to_string(t_.calendar_year(y)) + " (BOT job number " +
                   std::to_string(y) + "): " + Completion(own));
      if (!own) continue;
      if (y > first) {
        IfBefore(own, At(bot_run, y - 1, UnitKind::kBot), "Bot Job for previous year");
        // Its starting data include what its own run's previous year wrote, which is
        // listed in another section: a missing one is said here.
        Against(own, At(bot_run, y - 1, UnitKind::kSim),
                "previous year of the " + RunWord(bot_run));
      }
      Against(own, At(kBase, y, UnitKind::kSim), "same year of the Base");
    }
  }

  const records::RunRecords& r_;
  const records::Timeline& t_;
  const TSimRecord& sim_;
  const DateTextOf& date_;
  std::vector<std::string> l_;
};

}  // namespace

std::vector<std::string> WhenRunReportLines(const records::RunRecords& records,
                                            const records::Timeline& t, const TSimRecord& sim,
                                            const DateTextOf& date_text) {
  return WhenRun(records, t, sim, date_text).Lines();
}

}  // namespace yl::reports
