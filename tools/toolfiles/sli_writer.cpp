#include "toolfiles/sli_writer.h"

#include "core/text_util.h"

namespace yl::toolfiles {

namespace {

constexpr std::size_t kSetNameWidth = 12;
constexpr std::size_t kVariableNameWidth = 15;
constexpr std::size_t kCharsPerLine = 40;

// A line that starts a section's free-form field must not be empty: the reader takes
// the next line whole, and an empty line is still a line.
std::string Field(const std::vector<std::string>& model, std::size_t i) {
  return i < model.size() && !model[i].empty() ? model[i] : "%none";
}

std::string Letters(const std::string& all) {
  std::string text;
  for (std::size_t i = 0; i < all.size(); i += kCharsPerLine) {
    text += all.substr(i, kCharsPerLine) + "\n";
  }
  return text;
}

}  // namespace

Result<std::string> FormatSolutionInfo(const ResultsData& solution) {
  std::vector<const ResultVariable*> set_owner;  // first variable over each set
  std::vector<std::string> sets;
  for (const ResultVariable& v : solution.variables) {
    if (v.name.size() > kVariableNameWidth) {
      return Fail("Variable name " + v.name + " is longer than 15 characters");
    }
    if (v.set.empty()) continue;
    bool known = false;
    for (const std::string& s : sets) known = known || SameText(s, v.set);
    if (known) continue;
    if (v.set.size() > kSetNameWidth) return Fail("Set name " + v.set + " is too long");
    sets.push_back(v.set);
    set_owner.push_back(&v);
  }
  std::string t;
  t += "#SVVER\n" + std::to_string(kSliSvVer) + "\n";
  t += "#PRVER\n" + std::to_string(kSliPrVer) + "\n";
  t += "#TMDATE\n" + Field(solution.model, 1) + "\n";
  t += "#TABFILE\n" + Field(solution.model, 2) + "\n";
  t += "#STIFILE\n" + Field(solution.model, 3) + "\n";
  std::vector<std::string> description;
  if (!solution.verbal.empty()) description.push_back(solution.verbal);
  if (!solution.method.empty()) description.push_back("Method: " + solution.method);
  t += "#VBDSC\n" + std::to_string(description.size()) + "\n";
  for (const std::string& d : description) t += d + "\n";

  t += "#SETS\n" + std::to_string(sets.size()) + "\n";
  for (const ResultVariable* owner : set_owner) {
    t += "      " + PadRight(owner->set, kSetNameWidth) +
         PadLeft(std::to_string(owner->elements.size()), 8) + "  k " + owner->set + "\n";
    for (const std::string& e : owner->elements) t += e + "\n";
  }

  t += "#VARIABLES\n" + std::to_string(solution.variables.size()) + "\n";
  std::string vcstat, vctp;
  for (const ResultVariable& v : solution.variables) {
    int exo = 0;
    for (bool x : v.exogenous) exo += x ? 1 : 0;
    char status = exo == 0 ? 'N' : (exo == v.Size() ? 'X' : 'x');
    const int arguments = v.set.empty() ? 0 : 1;
    t += "      " + PadRight(v.name, kVariableNameWidth) + PadLeft(std::to_string(v.Size()), 8) +
         PadLeft(std::to_string(arguments), 3) + " " + status + " " + v.label + "\n";
    if (arguments > 0) {
      std::size_t k = 0;
      while (!SameText(sets[k], v.set)) ++k;
      t += PadLeft(std::to_string(k + 1), 8) + "\n";
    }
    if (status == 'x') {
      t += PadLeft(std::to_string(exo), 10) + "\n";
      for (int c = 0; c < v.Size();) {
        if (!v.exogenous[static_cast<std::size_t>(c)]) {
          ++c;
          continue;
        }
        int last = c;
        while (last + 1 < v.Size() && v.exogenous[static_cast<std::size_t>(last + 1)]) ++last;
        t += PadLeft(std::to_string(c + 1), 10) + PadLeft(std::to_string(last + 1), 10) + "\n";
        c = last + 1;
      }
      t += PadLeft("0", 10) + PadLeft("0", 10) + "\n";
    }
    // No variable is condensed out or backsolved: every one stays in the system.
    vcstat += 'c';
    vctp += v.type;
  }
  t += "#VCSTAT\n" + Letters(vcstat);
  t += "#VCTP\n" + Letters(vctp);
  return t;
}

}  // namespace yl::toolfiles
