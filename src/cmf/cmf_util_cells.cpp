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

bool CellRule(const std::string& file, int column, Prompter& prompter) {
  CheckColumn(column);
  switch (column) {
    case kBaseClosure:
    case kPolicyClosure:
      return ClosureRule(file, kClosureCellHelpTopic, prompter).passed;
    case kBaseShocks:
      return ShockRule(file, false, kShockCellHelpTopic, prompter).passed;
    default:
      return ShockRule(file, true, kShockCellHelpTopic, prompter).passed;
  }
}

bool CellRule(const TSimRecord& sim, int row, int column, Prompter& prompter) {
  std::string file = CellFilePath(sim, row, column);
  return file.empty() || CellRule(file, column, prompter);
}

bool RangeRule(const TSimRecord& sim, int column, int first_period, int last_period,
               bool with_shocks, int help_topic, Prompter& prompter) {
  if (column != kBaseClosure && column != kPolicyClosure) return true;
  for (int k = first_period; k <= last_period; ++k) {
    std::string closure = CellFilePath(sim, k, column);
    if (!closure.empty() && !ClosureRule(closure, help_topic, prompter).passed) return false;
    if (!with_shocks) continue;
    std::string shocks = CellFilePath(sim, k, column + 1);
    if (!shocks.empty() && !ShockRule(shocks, true, help_topic, prompter).passed) return false;
  }
  return true;
}

std::string CMFStartFilePath(const TSimRecord& sim, int run) {
  return CellFilePath(sim, kCmfStartRow, CMFStartColumn(run));
}

CMFStartCheck CheckCMFStartConstituents(const TSimRecord& sim, int first_run, int last_run,
                                        bool quiet, bool no_rerun, Prompter& prompter) {
  CMFStartCheck result;
  for (int run = first_run; run <= last_run; ++run) {
    CheckRun(run);
    if (run == kRerun && no_rerun) continue;
    std::string path = CMFStartFilePath(sim, run);
    if (path.empty()) continue;
    if (CheckCmfReferences(path, quiet, prompter)) continue;
    result.passed = false;
    result.failed_path = path;
    if (!quiet)
      prompter.Information("Above refer to files referred to in CMFStart file\r\n" + path);
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
