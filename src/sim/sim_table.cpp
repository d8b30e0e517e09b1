#include "sim/sim_table.h"

#include <algorithm>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

void CheckNumYears(const TSimRecord& sim) { CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears"); }

bool CellNamesNoFile(const std::string& cell) { return cell.empty() || cell == "?"; }

}  // namespace

void RecomputeYears(TSimRecord& sim) {
  sim.Years[-1] = sim.FirstYear - 2;
  sim.Years[0] = sim.FirstYear - 1;
  // Summed in 64 bits: lengths come from loaded files and must not overflow silently.
  long long end = sim.FirstYear - 1;
  for (int k = 1; k <= kMaxPeriods; ++k) {
    end += sim.LengthPeriods[k];
    sim.Years[k] = static_cast<int>(std::clamp<long long>(end, -2147483647LL, 2147483647LL));
  }
}

void RecomputeCMFNames(TSimRecord& sim) {
  CheckNumYears(sim);
  for (int row = kCmfStartRow; row <= sim.NumYears; ++row) {
    for (int col = 1; col <= 4; ++col) {
      const std::string& cell = sim.CMFCells(row, col);
      std::string ext = row == kCmfStartRow ? sim.CMFStartExt[col] : ColumnDefaultExt(col);
      sim.CMFFullNames(row, col) = cell + ext;
      sim.CMFExists(row, col) =
          CellNamesNoFile(cell) || FileExistsNoCase(sim.SimDir, sim.CMFFullNames(row, col));
    }
  }
  sim.CMFExists(kCmfStartRow, kBaseShocks) = true;
}

void NormaliseCells(TSimRecord& sim) {
  CheckNumYears(sim);
  for (int row = kCmfStartRow; row <= sim.NumYears; ++row) {
    for (int col = 1; col <= 4; ++col) sim.CMFCells(row, col) = UpperCase(sim.CMFCells(row, col));
  }
  for (int col = 1; col <= 4; ++col) sim.CMFStartExt[col] = UpperCase(sim.CMFStartExt[col]);
  RecomputeCMFNames(sim);
}

void ResetRowsAboveNumYears(TSimRecord& sim) {
  CheckNumYears(sim);
  for (int row = sim.NumYears + 1; row <= kMaxPeriods; ++row) {
    for (int col = 1; col <= 3; ++col) sim.CMFCells(row, col).assign(1, '?');
    sim.CMFCells(row, 4).clear();
  }
}

void CopyPreviousCell(TSimRecord& sim, int row, int column) {
  CheckColumn(column);
  if (row <= 1) return;
  sim.CMFCells(row, column) = sim.CMFCells(row - 1, column);
}

std::string CellPatternName(const TSimRecord& sim, int row, int column, bool no_rerun) {
  int run = PatternRun(column, no_rerun);
  std::string name = sim.SimNames[run] + RunLetter(run) + Year4(sim.Years[row]);
  return name.substr(0, 9);
}

void SetCellToPattern(TSimRecord& sim, int row, int column, bool no_rerun) {
  sim.CMFCells(row, column) = CellPatternName(sim, row, column, no_rerun);
}

int FirstPolicyShockPeriod(const TSimRecord& sim) {
  CheckNumYears(sim);
  for (int k = 1; k <= sim.NumYears; ++k) {
    if (!sim.CMFCells(k, kPolicyShocks).empty()) return k;
  }
  return sim.NumYears + 1;
}

std::string CellDisplayText(const TSimRecord& sim, int row, int column) {
  const std::string& cell = sim.CMFCells(row, column);
  if (cell == "N/A") return "N/A";
  if (cell == "?") return "common";
  if (cell.empty()) return "none";
  return UpperCase(sim.CMFFullNames(row, column));
}

TableView BuildTableView(const TSimRecord& sim, bool no_rerun) {
  CheckNumYears(sim);
  TableView view;
  view.Headers[0] = "Part";
  view.Headers[1] = "Base Closure [" + sim.SimNames[kBase] + "]";
  view.Headers[2] = "Base Shocks [" + sim.SimNames[kBase] + "]";
  view.Headers[3] = "Policy Closure [" + sim.SimNames[RerunOrPolicy(no_rerun)] + "]";
  view.Headers[4] = "Policy Shocks [" + sim.SimNames[kPolicy] + "]";
  view.PatternRow[0] = "Pattern";
  for (int col = 1; col <= 4; ++col) {
    view.PatternRow[col] = PatternName(sim, PatternRun(col, no_rerun)) + ColumnDefaultExt(col);
  }
  view.TopLine = "All files here must be in directory: " + sim.SimDir;
  view.RowLabels = {"Part", "Pattern", "CMFStart", "Common"};
  view.RowLabels.reserve(static_cast<std::size_t>(sim.NumYears) + 4);
  for (int k = 1; k <= sim.NumYears; ++k) {
    std::string label = Year4(sim.Years[k]);
    if (sim.AltMethodInUse && sim.AltMethodYears[k]) label += "*";
    view.RowLabels.push_back(std::move(label));
  }
  return view;
}

}  // namespace yl
