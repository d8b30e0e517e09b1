#include "reports/sim_details_report.h"

#include <algorithm>
#include <array>

#include "core/text_util.h"

namespace yl::reports {

namespace {

std::string Underline(const std::string& title) { return std::string(title.size(), '-'); }

std::string NameOrNone(const std::string& name) { return name.empty() ? "\"none\"" : name; }

}  // namespace

std::vector<std::string> SimDetailsSectionLines(const TSimRecord& sim, bool no_rerun) {
  std::vector<std::string> l{"Report of Sim Details", ""};
  l.push_back("Sim Name for Base is : " + sim.SimNames[kBase]);
  if (!no_rerun) l.push_back("Sim Name for Rerun is : " + sim.SimNames[kRerun]);
  l.push_back("Sim Name for Policy is : " + sim.SimNames[kPolicy]);
  const int n = std::clamp(sim.NumYears, 0, kMaxPeriods);
  l.push_back("First sim of Base produces data for year " + std::to_string(sim.Years[1]));
  l.push_back("Last sim of Base produces data for year " +
              std::to_string(sim.Years[std::max(n, 1)]));
  l.push_back("");
  l.push_back("Year    Base CLS  Base Shock Policy CLS Policy Shock");
  for (int k = 1; k <= n; ++k) {
    std::string line = std::to_string(sim.Years[k]) + "    ";
    for (int c = kBaseClosure; c <= kPolicyShocks; ++c)
      line += PadLeft(sim.CMFCells(k, c), 8) + " | ";
    l.push_back(line);
  }
  return l;
}

std::vector<std::string> SimComparisonLines(const ComparedSim& first, const ComparedSim& second) {
  std::vector<std::string> l;
  auto section = [&](const std::string& title, const ComparedSim& c) {
    l.push_back(title);
    l.push_back(Underline(title));
    l.push_back("");
    for (std::string& line : SimDetailsSectionLines(c.sim, c.no_rerun))
      l.push_back(std::move(line));
    l.push_back("");
  };
  section("Summary of First Simulation", first);
  section("Summary of Second Simulation", second);
  const std::string differences = "Summary of Differences";
  l.push_back(differences);
  l.push_back(Underline(differences));
  l.push_back("");
  const TSimRecord& a = first.sim;
  const TSimRecord& b = second.sim;
  if (a.FirstYear != b.FirstYear) {
    l.push_back("They start at different years. Sorry, nothing more to report.");
    return l;
  }
  const int rows = std::clamp(std::min(a.NumYears, b.NumYears), 0, kMaxPeriods);
  if (a.NumYears != b.NumYears) {
    l.push_back("Only comparing the first " + std::to_string(rows) + " rows");
  }
  static constexpr std::array<const char*, 5> kColumns = {"", "Base Closures", "Base Shocks",
                                                          "Policy Closures", "Policy Shocks"};
  for (int c = kBaseClosure; c <= kPolicyShocks; ++c) {
    for (int k = 1; k <= rows; ++k) {
      const std::string& x = a.CMFCells(k, c);
      const std::string& y = b.CMFCells(k, c);
      if (SameText(x, y)) continue;
      l.push_back("Year " + std::to_string(a.Years[k]) + " " +
                  kColumns[static_cast<std::size_t>(c)] + ". First is " + NameOrNone(x) +
                  ", second is " + NameOrNone(y));
    }
  }
  return l;
}

}  // namespace yl::reports
