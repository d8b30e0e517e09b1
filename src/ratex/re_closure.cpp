#include "ratex/re_closure.h"

#include <array>

#include "harfile/sol_info.h"
#include "sim/sim_runs.h"

namespace yl::ratex {

namespace {

enum class Need { kAllExog, kAllEndog };
enum class Runs { kAll, kBase, kRerunPolicy };

struct ClosureRule {
  const char* variable;
  Need need;
  Runs runs;
};

constexpr std::array<ClosureRule, 10> kRules{{
    {"d_f", Need::kAllExog, Runs::kAll},
    {"d_ff", Need::kAllEndog, Runs::kAll},
    {"d_f_diseq", Need::kAllEndog, Runs::kAll},
    {"d_f_diseqre", Need::kAllExog, Runs::kBase},
    {"d_diseq", Need::kAllExog, Runs::kRerunPolicy},
    {"d_f_diseqre", Need::kAllEndog, Runs::kRerunPolicy},
    {"d_eror_o", Need::kAllExog, Runs::kRerunPolicy},
    {"d_f_eror_o", Need::kAllEndog, Runs::kRerunPolicy},
    {"del_ror_se_o", Need::kAllExog, Runs::kRerunPolicy},
    {"d_f_ror_se_o", Need::kAllEndog, Runs::kRerunPolicy},
}};

bool Applies(Runs runs, int run) {
  return runs == Runs::kAll || (runs == Runs::kBase) == (run == kBase);
}

}  // namespace

Status CheckREClosure(const std::string& sli_path, int run, int year_index, int calendar_year) {
  SolInfoRec info;
  if (auto s = RequestSolInfo(sli_path, kProgramSolInfoRequest, {true, true}, info); !s) return s;
  std::string problems;
  for (const ClosureRule& rule : kRules) {
    if (!Applies(rule.runs, run)) continue;
    const std::string name = rule.variable;
    const std::int32_t number = info.Lookup(name);
    if (number <= 0) {
      problems += "\r\n " + name + " is not a variable in the model";
      continue;
    }
    const TVarRec& v = info.variables[static_cast<std::size_t>(number - 1)];
    if (rule.need == Need::kAllExog && v.exogenous != v.components) {
      problems += "\r\n Not all components of variable " + name + " are exogenous.";
    } else if (rule.need == Need::kAllEndog && v.exogenous != 0) {
      problems += "\r\n Not all components of variable " + name + " are endogenous.";
    }
  }
  if (problems.empty()) return Ok();
  return Fail(
      "Doing rational expectations (CORVAN style).\r\nThere is a problem the with closure "
      "for simulation for year " +
      std::to_string(calendar_year) + " (year number " + std::to_string(year_index) + ") of the " +
      RunWord(run) + ":" + problems +
      "\r\nPlease fix these problems and run the application again.");
}

}  // namespace yl::ratex
