#include "sim/sim_editing.h"

#include <cctype>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void FollowNamePattern(TSimRecord& sim, int run, const std::string& old_name,
                       const std::string& new_name) {
  int first_col;
  if (run == kBase) {
    first_col = kBaseClosure;
  } else if (run == kPolicy) {
    first_col = kPolicyClosure;
  } else {
    return;  // the Rerun's name changes no cell
  }
  const char letter = RunLetter(run);
  for (int k = 1; k <= sim.NumYears; ++k) {
    const std::string year = Year4(sim.Years[k]);
    for (int col = first_col; col <= first_col + 1; ++col) {
      std::string& cell = sim.CMFCells(k, col);
      if (SameText(cell, old_name + letter + year)) cell = new_name + letter + year;
    }
  }
}

}  // namespace

std::string NormaliseSimName(std::string_view text) {
  std::string name;
  for (char c : text.substr(0, std::min<std::size_t>(text.size(), 3))) {
    unsigned char u = static_cast<unsigned char>(c);
    name += std::isalnum(u) && u < 128 ? static_cast<char>(std::toupper(u)) : 'Z';
  }
  while (name.size() < 3) name += 'Z';
  return name;
}

std::string EditSimName(TSimRecord& sim, int run, std::string_view text,
                        const SimNameEditSettings& settings, Prompter& prompter) {
  CheckRun(run);
  CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears");
  if (UpperCase(text) == sim.SimNames[run]) return sim.SimNames[run];
  const std::string old_name = sim.SimNames[run];
  const std::string new_name = NormaliseSimName(text);
  sim.SimNames[run] = new_name;
  if (settings.UsePatterns) FollowNamePattern(sim, run, old_name, new_name);
  RecomputeCMFNames(sim);
  CheckSavedDetails(sim, settings.ModelName, settings.NoRerun, prompter);
  return new_name;
}

std::string SavedDetailsMessage(const TSimRecord& sim, bool no_rerun) {
  return "You have changed the Sim Names to:\r\n" + SimNamesLine(sim, no_rerun) +
         "\r\n"
         "You have previously saved Simulation Details relating to these names.\r\n"
         "Maybe you really intended to load these Simulation Details.\r\n"
         "[Loading these Simulation Details will load the information you saved earlier\r\n"
         "  to the Model/Data, Sim Overview and Closure/Shock pages.\r\n"
         " It will also load information about when you have run parts of the Base etc.]\r\n"
         "You can load these Simulation Details via the menu item\r\n"
         " \"Load Simulation Details...\" under the File menu.";
}

bool CheckSavedDetails(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                       Prompter& prompter) {
  const std::string ds1 = DefaultSimDetailsFile(sim, model_name, no_rerun);
  if (ds1.empty() || !ResolvePathNoCase(ds1)) return false;
  prompter.Information(SavedDetailsMessage(sim, no_rerun), kHelpSimOverview);
  return true;
}

std::string StartingDataYearText(const TSimRecord& sim) { return Year4(sim.FirstYear - 1); }

Result<std::string> EditStartingDataYear(TSimRecord& sim, std::string_view text) {
  const std::string shown = StartingDataYearText(sim);
  if (text == shown) return shown;
  std::string digits(text.substr(0, std::min<std::size_t>(text.size(), 4)));
  for (char& c : digits) {
    if (c == ' ') c = '0';
  }
  if (!AllDigits(digits) || text.size() > 4) {
    return Fail("Year of the Starting Data must have at most 4 digits: " + std::string(text));
  }
  while (digits.size() < 4) digits += '0';
  sim.FirstYear = std::stoi(digits) + 1;
  RecomputeYears(sim);
  return digits;
}

Result<int> EditNumberOfPeriods(TSimRecord& sim, std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits += c;
  }
  if (digits.empty()) digits = "10";
  if (!AllDigits(digits) || digits.size() > 3) {
    return Fail("Number of periods must have at most 3 digits: " + std::string(text));
  }
  sim.NumYears = std::stoi(digits);
  return sim.NumYears;
}

EndYearOutcome EndYearCheck(TSimRecord& sim, Prompter& prompter) {
  EndYearOutcome out;
  if (sim.NumYears <= 0) {
    sim.NumYears = 1;
    out.OverviewChanged = true;
  }
  CheckIndex(sim.NumYears, 1, kMaxPeriods, "NumYears");
  if (static_cast<long long>(sim.FirstYear) + sim.NumYears - 1 > 9999) {
    prompter.Error(
        "Please adjust Starting Year and/or Number of Years on Sim Overview page so that ending "
        "year is at most 9999.");
    out.Accepted = false;
  }
  return out;
}

std::optional<TableView> TableSetup(TSimRecord& sim, bool no_rerun, Prompter& prompter) {
  if (!EndYearCheck(sim, prompter).Accepted) return std::nullopt;
  ResetRowsAboveNumYears(sim);
  NormaliseCells(sim);
  return BuildTableView(sim, no_rerun);
}

std::string PeriodLengthText(int period, int length) {
  return "Period " + std::to_string(period) + " is " + std::to_string(length) +
         (length >= 2 ? " years" : " year");
}

std::vector<std::string> PeriodLengthTexts(const TSimRecord& sim) {
  CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears");
  std::vector<std::string> texts;
  for (int k = 1; k <= sim.NumYears; ++k)
    texts.push_back(PeriodLengthText(k, sim.LengthPeriods[k]));
  return texts;
}

bool SetPeriodLength(TSimRecord& sim, int period, int length) {
  if (period < 1 || period > sim.NumYears || period > kMaxPeriods || length < 1) return false;
  sim.LengthPeriods[period] = length;
  RecomputeYears(sim);
  return true;
}

}  // namespace yl
