#include "records/run_checks.h"

#include <algorithm>

#include "records/file_stamp.h"
#include "sim/sim_runs.h"

namespace yl::records {

namespace {

std::string Cal(const Timeline& t, int year) { return std::to_string(t.calendar_year(year)); }

std::string UpperFirst(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::optional<std::uint64_t> Stamp(const RunRecords& r, const Timeline& t, const UnitRef& u) {
  return CompletedAt(r, t, u).stamp;
}

// A unit booked before one it depends on (or whose prerequisite was never booked).
bool Before(const std::optional<std::uint64_t>& unit, const std::optional<std::uint64_t>& dep) {
  return unit && (!dep || *unit < *dep);
}

}  // namespace

std::string SimulationText(const Timeline& t, int run, int year) {
  return "simulation for year " + Cal(t, year) + " (period number " + std::to_string(year) +
         ") of the " + RunWord(run);
}

std::string BotJobText(const Timeline& t, int year) { return "BOT job for year " + Cal(t, year); }

Completion CompletedAt(const RunRecords& records, const Timeline& t, const UnitRef& u) {
  Completion c;
  std::optional<std::string> text;
  switch (u.kind) {
    case UnitKind::kSim:
      text = records.of[u.run].Get(Cal(t, u.year), "Year finished ok");
      c.reason = UpperFirst(SimulationText(t, u.run, u.year)) + " has not been completed.";
      break;
    case UnitKind::kBot:
      text = records.of[t.BotRun()].Get(Cal(t, u.year), "Bot job finished ok");
      c.reason = "BOT job for year number " + std::to_string(u.year) + " of the " +
                 RunWord(t.BotRun()) + " has not been completed.";
      break;
    case UnitKind::kSpreadsheet:
      text = records.of[u.run].Get("Run", "ss job finished ok");
      c.reason = "Spreadsheet job for " + RunWord(u.run) + " has not been completed.";
      break;
  }
  if (text) c.stamp = ParseCompletion(*text);
  if (c.stamp) c.reason.clear();
  return c;
}

std::vector<std::string> InSequence(const RunRecords& records, const Timeline& t,
                                    const UnitRef& u) {
  std::vector<std::string> reasons;
  const auto own = Stamp(records, t, u);
  if (!own) return reasons;
  const std::string run = RunWord(u.run);
  switch (u.kind) {
    case UnitKind::kSim:
      if (u.year > t.FirstSimulable(u.run) &&
          Before(own, Stamp(records, t, {u.run, u.year - 1, UnitKind::kSim}))) {
        reasons.push_back("Sim for year " + Cal(t, u.year) + " of " + run +
                          " was completed before sim for year " + Cal(t, u.year - 1) + " of " +
                          run + ".");
      }
      if (u.run != kBase && Before(own, Stamp(records, t, {t.BotRun(), u.year, UnitKind::kBot}))) {
        reasons.push_back("Sim for year " + Cal(t, u.year) + " of " + run +
                          " was completed before BOT job for the same year.");
      }
      break;
    case UnitKind::kBot:
      if (Before(own, Stamp(records, t, {kBase, u.year, UnitKind::kSim}))) {
        reasons.push_back(BotJobText(t, u.year) + " was completed before sim for year " +
                          Cal(t, u.year) + " of Base.");
      }
      if (u.year > t.FirstSimulable(t.BotRun()) &&
          Before(own, Stamp(records, t, {t.BotRun(), u.year - 1, UnitKind::kSim}))) {
        reasons.push_back("   The " + BotJobText(t, u.year) + " was completed before the " +
                          SimulationText(t, t.BotRun(), u.year - 1) +
                          ".\r\n      [The starting data for this BOT job includes updated data "
                          "from that simulation.]");
      }
      break;
    case UnitKind::kSpreadsheet:
      for (int y = t.FirstSimulable(u.run); y <= t.num_years; ++y) {
        if (Before(own, Stamp(records, t, {u.run, y, UnitKind::kSim}))) {
          reasons.push_back("SS job for " + run + " was completed before sim for year " +
                            Cal(t, y) + " of " + run + ".");
        }
      }
      // The differences are taken against the prerequisite run's spreadsheets.
      if (reasons.empty() && u.run == kPolicy) {
        const Run pre = t.PrerequisiteRun();
        if (Before(own, Stamp(records, t, {pre, t.num_years + 1, UnitKind::kSpreadsheet}))) {
          reasons.push_back("SS job for Policy was completed before SS job for " + RunWord(pre) +
                            ".");
        }
      }
      break;
  }
  return reasons;
}

std::vector<std::string> StillOk(const RunRecords& records, const UnitDescription& d,
                                 unsigned boxes, bool outputs_only) {
  std::vector<std::string> reasons;
  const IniFile& rec = records.of[d.unit.run];
  const std::string advice = d.rerun_advice.empty() ? "" : "\r\n" + d.rerun_advice;
  for (const RecordedSetting& s : d.settings) {
    if (!s.compare || outputs_only) continue;
    const auto then = rec.Get(s.section, s.key);
    if (then && *then == s.value) continue;
    if (!s.changed_reason.empty()) {
      reasons.push_back(s.changed_reason + advice);
      continue;
    }
    reasons.push_back("The " + s.what + " has changed since you last ran the " + d.unit_text +
                      ".\r\n    Now it is: " + s.value + "\r\n    but then it was: " +
                      (then ? *then : std::string("(not recorded)")) + advice);
  }
  for (const RecordedFile& f : d.files) {
    if (!f.compare || (f.box != 0 && (f.box & boxes) == 0)) continue;
    if (outputs_only && (f.box == 0 || !f.created)) continue;
    const auto text = rec.Get(f.section, f.key);
    if (!text && f.optional) continue;
    const auto stamp = text ? ParseFileStamp(*text) : std::nullopt;
    std::string diff;
    if (!stamp) {
      diff = f.what + ": " + f.path + "\r\n    was not recorded when you last ran the " +
             d.unit_text + ".";
    } else {
      diff = CompareWithStamp(*stamp, f.path, {f.what, d.unit_text, f.created, f.compare_name});
    }
    if (diff.empty()) continue;
    reasons.push_back((f.lead.empty() ? diff : f.lead + "\r\n   However that " + diff) + advice);
  }
  return reasons;
}

namespace {

// The first unit of the run's chain (or of the closure preparations) that is not
// completed or not in sequence.
RunStart FirstFailing(const RunRecords& records, const Timeline& t, Run run, UnitKind kind) {
  const int first = kind == UnitKind::kBot ? t.policy_start : t.FirstSimulable(run);
  for (int y = first; y <= t.num_years; ++y) {
    const UnitRef u{run, y, kind};
    Completion c = CompletedAt(records, t, u);
    if (!c.stamp) return {y, c.reason};
    auto seq = InSequence(records, t, u);
    if (!seq.empty()) return {y, seq.front()};
  }
  if (kind == UnitKind::kBot) return {t.num_years + 1, ""};
  const UnitRef ss{run, t.num_years + 1, UnitKind::kSpreadsheet};
  Completion c = CompletedAt(records, t, ss);
  if (!c.stamp) return {t.num_years + 1, c.reason};
  auto seq = InSequence(records, t, ss);
  if (!seq.empty()) return {t.num_years + 1, seq.front()};
  return {t.num_years + 2, ""};
}

// A later run must start again where a unit it builds on starts again.
void Follow(RunStart& start, const RunStart& base, const RunStart& bot, const Timeline& t,
            int run) {
  const int n = t.num_years;
  if (base.year <= n) {
    const int from = std::max(base.year, t.FirstSimulable(run));
    // Before the run's first year the Base's own reason says why.
    if (from < start.year) start = {from, base.reason};
  }
  if (bot.year <= n && bot.year < start.year) start = {bot.year, bot.reason};
  if (base.year <= n + 1 && start.year == base.year) {
    start.reason =
        base.year > n ? "Must rerun this part of the Base." : "Must rerun this year of the Base.";
  }
}

// The Policy's differences follow the spreadsheets of the run they are taken against.
void FollowDifferences(Starts& s, const Timeline& t) {
  const int n = t.num_years;
  const Run pre = t.PrerequisiteRun();
  if (s.run[pre].year <= n + 1 && s.run[kPolicy].year == n + 2) {
    s.run[kPolicy] = {n + 1, "Must rerun this part of the " + RunWord(pre) + "."};
  }
}

}  // namespace

Starts FirstNotInSequence(const RunRecords& records, const Timeline& t) {
  Starts s;
  const int n = t.num_years;
  s.run[kBase] = FirstFailing(records, t, kBase, UnitKind::kSim);
  s.bot = FirstFailing(records, t, t.BotRun(), UnitKind::kBot);
  if (s.bot.year == s.run[kBase].year) s.bot.reason = "Must rerun this year of the Base";
  for (int r = kRerun; r <= kPolicy; ++r) {
    if (!t.RunUsed(r)) {
      s.run[r] = {n + 2, ""};
      continue;
    }
    s.run[r] = FirstFailing(records, t, static_cast<Run>(r), UnitKind::kSim);
    Follow(s.run[r], s.run[kBase], s.bot, t, r);
  }
  FollowDifferences(s, t);
  for (int r = kBase; r <= kPolicy; ++r) {
    if (t.RunUsed(r) && !s.run[r].reason.empty()) s.reasons.push_back(s.run[r].reason);
  }
  return s;
}

void StartsStillOk(Starts& s, const RunRecords& records, const Timeline& t, unsigned boxes,
                   const std::function<UnitDescription(const UnitRef&)>& describe) {
  const int n = t.num_years;
  auto first_invalid = [&](Run run, UnitKind kind, int from, RunStart& start) {
    for (int y = from; y < start.year && y <= n + 1; ++y) {
      if (y == n + 1 && kind == UnitKind::kBot) break;
      const UnitRef u{run, y, y == n + 1 ? UnitKind::kSpreadsheet : kind};
      auto reasons = StillOk(records, describe(u), boxes);
      if (reasons.empty()) continue;
      start.year = y;
      start.reason = reasons.front();
      s.reasons.insert(s.reasons.end(), reasons.begin(), reasons.end());
      return;
    }
  };
  first_invalid(kBase, UnitKind::kSim, 1, s.run[kBase]);
  first_invalid(t.BotRun(), UnitKind::kBot, t.policy_start, s.bot);
  for (int r = kRerun; r <= kPolicy; ++r) {
    if (!t.RunUsed(r)) continue;
    RunStart& start = s.run[r];
    first_invalid(static_cast<Run>(r), UnitKind::kSim, t.FirstSimulable(r), start);
    Follow(start, s.run[kBase], s.bot, t, r);
  }
  FollowDifferences(s, t);
}

}  // namespace yl::records
