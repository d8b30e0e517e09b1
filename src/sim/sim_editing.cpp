#include "sim/sim_editing.h"

#include <cctype>
#include <optional>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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

std::string StartingDataYearText(const TSimRecord& sim) { return Year4(sim.FirstYear - 1); }

namespace {

// Blanks become "0" and the text is padded with "0" on the right to four digits; anything
// else but digits, or more than four characters, gives nullopt.
std::optional<std::string> YearDigits(std::string_view text) {
  if (text.size() > 4) return std::nullopt;
  std::string digits(text);
  for (char& c : digits) {
    if (c == ' ') c = '0';
  }
  if (!AllDigits(digits)) return std::nullopt;
  while (digits.size() < 4) digits += '0';
  return digits;
}

}  // namespace

Result<std::string> EditStartingDataYear(TSimRecord& sim, std::string_view text) {
  const std::string shown = StartingDataYearText(sim);
  if (text == shown) return shown;
  const std::optional<std::string> digits = YearDigits(text);
  if (!digits) {
    return Fail("Year of the Starting Data must have at most 4 digits: " + std::string(text));
  }
  sim.FirstYear = std::stoi(*digits) + 1;
  RecomputeYears(sim);
  return *digits;
}

std::string FirstSimYearText(const TSimRecord& sim) { return Year4(sim.FirstYear); }

Result<std::string> EditFirstSimYear(TSimRecord& sim, std::string_view text) {
  const std::optional<std::string> digits = YearDigits(text);
  if (!digits) {
    return Fail("First Year of Base Sims must have at most 4 digits: " + std::string(text));
  }
  sim.FirstYear = std::stoi(*digits);
  RecomputeYears(sim);
  return *digits;
}

bool AllPeriodsOneYear(const TSimRecord& sim) {
  for (int k = 1; k <= sim.NumYears; ++k) {
    if (sim.LengthPeriods[k] != 1) return false;
  }
  return true;
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
