#include "cmf/cmf_util_cells.h"

#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

std::string CleanLine(std::string line) {
  for (char& c : line) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 33 || u > 126) c = ' ';
  }
  return line;
}

}  // namespace

bool CellNamesFile(const std::string& cell) {
  return !cell.empty() && cell != "?" && cell != "N/A";
}

std::string CellFilePath(const TSimRecord& sim, int row, int column) {
  CheckColumn(column);
  if (!CellNamesFile(sim.CMFCells(row, column))) return "";
  const std::string& name = sim.CMFFullNames(row, column);
  return FindFileNoCase(sim.SimDir, name).value_or(JoinPath(sim.SimDir, name));
}

RuleResult CellRule(const std::string& file, int column) {
  CheckColumn(column);
  switch (column) {
    case kBaseClosure:
    case kPolicyClosure:
      return ClosureRule(file, kClosureCellHelpTopic);
    case kBaseShocks:
      return ShockRule(file, false, kShockCellHelpTopic);
    default:
      return ShockRule(file, true, kShockCellHelpTopic);
  }
}

RuleResult CellRule(const TSimRecord& sim, int row, int column) {
  std::string file = CellFilePath(sim, row, column);
  if (file.empty()) return RuleResult{};
  return CellRule(file, column);
}

RuleResult RangeRule(const TSimRecord& sim, int column, int first_period, int last_period,
                     bool with_shocks, int help_topic) {
  if (column != kBaseClosure && column != kPolicyClosure) return RuleResult{};
  for (int k = first_period; k <= last_period; ++k) {
    std::string closure = CellFilePath(sim, k, column);
    if (!closure.empty()) {
      if (RuleResult r = ClosureRule(closure, help_topic); !r.passed) return r;
    }
    if (!with_shocks) continue;
    std::string shocks = CellFilePath(sim, k, column + 1);
    if (!shocks.empty()) {
      if (RuleResult r = ShockRule(shocks, true, help_topic); !r.passed) return r;
    }
  }
  return RuleResult{};
}

std::string CMFStartFilePath(const TSimRecord& sim, int run) {
  return CellFilePath(sim, kCmfStartRow, CMFStartColumn(run));
}

CMFStartCheck CheckCMFStartConstituents(const TSimRecord& sim, int first_run, int last_run,
                                        bool no_rerun) {
  CMFStartCheck result;
  for (int run = first_run; run <= last_run; ++run) {
    CheckRun(run);
    if (run == kRerun && no_rerun) continue;
    std::string path = CMFStartFilePath(sim, run);
    if (path.empty()) continue;
    std::vector<Message> problems = CheckCmfReferences(path);
    if (problems.empty()) continue;
    result.passed = false;
    result.failed_path = path;
    for (auto& m : problems) result.messages.push_back(std::move(m));
    result.messages.push_back(
        InformationMessage("Above refer to files referred to in CMFStart file\r\n" + path));
  }
  return result;
}

Status WriteCMFStartBlock(const TSimRecord& sim, int run, TextWriter& out) {
  std::string path = CMFStartFilePath(sim, run);
  if (path.empty() || !FileExists(path)) return Ok();
  auto lines = ReadTextLines(path);
  if (!lines) return Fail(lines.error());
  const std::string name = FileNameOf(path);
  out.WriteLine(" ");
  out.WriteLine("! Begin CMFSTART file \"" + name + "\"");
  for (auto& line : *lines) out.WriteLine(CleanLine(std::move(line)));
  out.WriteLine("! End CMFSTART file \"" + name + "\"");
  out.WriteLine(" ");
  return Ok();
}

}  // namespace yl
