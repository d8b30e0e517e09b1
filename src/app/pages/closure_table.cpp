#include "app/pages/closure_table.h"

#include <algorithm>
#include <unordered_set>

#include "app/pages/sim_overview.h"
#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

void CheckCell(const TSimRecord& sim, CellRef cell) {
  CheckIndex(cell.row, kCmfStartRow, sim.NumYears, "closure/shock table row");
  CheckColumn(cell.column);
}

bool IsPeriodRow(const TSimRecord& sim, int row) { return row >= 1 && row <= sim.NumYears; }

// A cell that is neither empty nor "?" and whose completed file exists.
bool CellFileExists(const TSimRecord& sim, CellRef c) {
  const std::string& cell = sim.CMFCells(c.row, c.column);
  return !cell.empty() && cell != "?" && sim.CMFExists(c.row, c.column);
}

Rgb HeaderColour(int column, bool no_rerun) {
  switch (column) {
    case kBaseClosure:
    case kBaseShocks:
      return kNavyText;
    case kPolicyClosure:
      return no_rerun ? kBlueText : kTealText;
    default:
      return kBlueText;
  }
}

GridCell CMFStartCell(const TSimRecord& sim, int column, bool no_rerun, bool active) {
  GridCell g;
  g.text = CellDisplayText(sim, kCmfStartRow, column);
  switch (column) {
    case kBaseClosure:
      g.colour = kNavyText;
      break;
    case kBaseShocks:
      g.bold = true;
      break;
    case kPolicyClosure:
      if (no_rerun) {
        g.bold = true;
      } else {
        g.colour = kTealText;
      }
      break;
    default:
      g.colour = kBlueText;
  }
  if (active) g.colour = kWhiteText;
  return g;
}

std::optional<TableView> StoreAndSetUp(TSimRecord& sim, CellRef cell, std::string value,
                                       bool no_rerun, Prompter& prompter) {
  CheckCell(sim, cell);
  sim.CMFCells(cell.row, cell.column) = std::move(value);
  return TableSetup(sim, no_rerun, prompter);
}

std::string TitleOf(int row, int column) {
  if (row == kCmfStartRow) return "CMFSTART File";
  switch (column) {
    case kBaseClosure:
    case kPolicyClosure:
      return "Closure File ";
    case kBaseShocks:
      return "Base Case Shocks File";
    default:
      return "Extra Shocks File";
  }
}

}  // namespace

int GridRowCount(const TSimRecord& sim) {
  CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears");
  return sim.NumYears + 4;
}

bool ConstituentsExist(const std::string& path) { return CmfReferenceProblems(path).empty(); }

CellState TableCellState(const TSimRecord& sim, int row, int column,
                         const ConstituentCheckFn& check) {
  CheckColumn(column);
  if (!sim.CMFExists(row, column)) return CellState::kMissing;
  const std::string& cell = sim.CMFCells(row, column);
  if (cell.empty() || cell == "?" || cell == "N/A") return CellState::kNormal;
  std::string path = CellFilePath(sim, row, column);
  if (check && !check(path)) return CellState::kConstituentMissing;
  return CellState::kNormal;
}

std::vector<std::vector<GridCell>> BuildGrid(const TSimRecord& sim, bool no_rerun, CellRef active,
                                             const ConstituentCheckFn& check) {
  const int rows = GridRowCount(sim);
  const TableView view = BuildTableView(sim, no_rerun);
  std::vector<std::vector<GridCell>> grid(static_cast<std::size_t>(rows),
                                          std::vector<GridCell>(kGridColumns));
  for (int r = 0; r < rows; ++r) {
    GridCell& label = grid[r][0];
    label.text = view.RowLabels[static_cast<std::size_t>(r)];
    label.bold = true;
  }
  for (int c = 1; c <= 4; ++c) {
    grid[kGridHeaderRow][c] = GridCell{view.Headers[c], HeaderColour(c, no_rerun), true};
    grid[kGridPatternRow][c].text = view.PatternRow[c];
    grid[kGridCMFStartRow][c] = CMFStartCell(sim, c, no_rerun, active == CellRef{kCmfStartRow, c});
  }
  for (int row = kCommonRow; row <= sim.NumYears; ++row) {
    for (int c = 1; c <= 4; ++c) {
      GridCell& g = grid[GridRowOfTableRow(row)][c];
      g.text = CellDisplayText(sim, row, c);
      g.state = TableCellState(sim, row, c, check);
      if (g.state == CellState::kMissing) g.colour = kRedText;
      if (g.state == CellState::kConstituentMissing) g.colour = kGreenText;
    }
  }
  return grid;
}

void FollowPattern(TSimRecord& sim, const GridSelection& selection, bool no_rerun) {
  auto follow = [&](CellRef c) {
    CheckCell(sim, c);
    if (sim.CMFCells(c.row, c.column) == "N/A") return;
    SetCellToPattern(sim, c.row, c.column, no_rerun);
  };
  if (selection.Multiple()) {
    for (CellRef c : selection.cells) {
      if (IsPeriodRow(sim, c.row)) follow(c);
    }
  } else if (selection.active.row >= kCmfStartRow) {
    follow(selection.active);
  }
  RecomputeCMFNames(sim);
}

void AsPrevious(TSimRecord& sim, const GridSelection& selection) {
  auto copy = [&](CellRef c) {
    CheckCell(sim, c);
    if (c.row >= 2) CopyPreviousCell(sim, c.row, c.column);
  };
  if (selection.Multiple()) {
    for (CellRef c : selection.cells) copy(c);
  } else if (selection.active.row >= kCmfStartRow) {
    copy(selection.active);
  }
  RecomputeCMFNames(sim);
}

std::optional<TableView> TypeIntoCell(TSimRecord& sim, CellRef cell, std::string_view text,
                                      bool no_rerun, Prompter& prompter) {
  return StoreAndSetUp(sim, cell, UpperCase(text.substr(0, kCellEditorMaxLength)), no_rerun,
                       prompter);
}

std::optional<TableView> SetCellCommon(TSimRecord& sim, CellRef cell, bool no_rerun,
                                       Prompter& prompter) {
  return StoreAndSetUp(sim, cell, "?", no_rerun, prompter);
}

std::optional<TableView> SetCellNone(TSimRecord& sim, CellRef cell, bool no_rerun,
                                     Prompter& prompter) {
  return StoreAndSetUp(sim, cell, "", no_rerun, prompter);
}

SelectOneDialog SelectOneRequest(const TSimRecord& sim, CellRef cell) {
  CheckCell(sim, cell);
  SelectOneDialog d;
  d.request.title = TitleOf(cell.row, cell.column);
  d.request.start_dir = sim.SimDir;
  if (cell.row == kCmfStartRow) {
    d.request.default_name = "*.*";
  } else {
    d.default_ext = ColumnDefaultExt(cell.column);
    d.request.default_name = "*" + d.default_ext;
    d.request.filter = d.request.default_name + "|" + d.request.default_name;
  }
  return d;
}

bool ApplySelectedFile(TSimRecord& sim, CellRef cell, const std::string& path, bool no_rerun,
                       Prompter& prompter) {
  CheckCell(sim, cell);
  const bool start_row = cell.row == kCmfStartRow;
  const std::string ext = FileExtOf(path);
  const std::string file = FileNameOf(path);
  const std::string stem = file.substr(0, file.size() - ext.size());
  if (!start_row && !SameText(ext, ColumnDefaultExt(cell.column))) {
    prompter.Information("Suffix must be " + ColumnDefaultExt(cell.column));
    return false;
  }
  // Directories are told apart by case on this system, so only the same directory will do.
  if (RemoveTrailingSep(DirOfFile(path)) != RemoveTrailingSep(sim.SimDir)) {
    prompter.Information("File must be in directory " + sim.SimDir);
    return false;
  }
  if (stem.size() > 9) {
    prompter.Information("Name cannot have more than 9 characters.");
    return false;
  }
  if (start_row && ext.size() > 4) {
    prompter.Information("Suffix cannot have more than 4 characters.");
    return false;
  }
  if (start_row) sim.CMFStartExt[cell.column] = ext;
  return StoreAndSetUp(sim, cell, stem, no_rerun, prompter).has_value();
}

bool SelectOne(TSimRecord& sim, CellRef cell, bool no_rerun, Prompter& prompter) {
  SelectOneDialog d = SelectOneRequest(sim, cell);
  std::vector<std::string> chosen = prompter.ChooseFiles(d.request);
  if (chosen.empty()) return false;
  std::string path = chosen.front();
  if (!d.default_ext.empty() && FileExtOf(path).empty()) path += d.default_ext;
  return ApplySelectedFile(sim, cell, path, no_rerun, prompter);
}

GridPopup PopupForClick(const TSimRecord& sim, int grid_row, int grid_col) {
  if (grid_row < kGridCMFStartRow || grid_col < 0 || grid_col >= kGridColumns) {
    return GridPopup::kNone;
  }
  const int row = TableRowOfGridRow(grid_row);
  if (grid_col == 0) {
    if (row < 1) return GridPopup::kNone;
    if (row > sim.NumYears || row > kMaxPeriods) throw InternalError(kSolMethodPopupOutOfRange);
    return GridPopup::kSolMethodMenu;
  }
  if (row > sim.NumYears) return GridPopup::kNone;
  if (row == kCmfStartRow && sim.CMFCells(row, grid_col) == "N/A") return GridPopup::kNone;
  return GridPopup::kCellMenu;
}

CellMenuState BuildCellMenu(const TSimRecord& sim, const GridSelection& selection,
                            bool editor_is_quillpad) {
  CellMenuState m;
  m.help = {true, true};
  if (selection.Multiple()) {
    m.select_one = {true, false};
    m.edit = {true, false};
    m.check_files = {true, false};
    m.edit_selected = {true, editor_is_quillpad};
    return m;
  }
  const CellRef c = selection.active;
  CheckCell(sim, c);
  const std::string& cell = sim.CMFCells(c.row, c.column);
  const bool start_row = c.row == kCmfStartRow;
  m.select_one = {true, true};
  if (IsPeriodRow(sim, c.row)) m.common = {true, true};
  if (c.column == kPolicyShocks || start_row || c.row == kCommonRow) m.none = {true, true};
  const bool has_file = CellFileExists(sim, c);
  m.edit = {true, has_file};
  m.check_files = {true, has_file};
  const bool common_or_own =
      !start_row && (!sim.CMFCells(kCommonRow, c.column).empty() || cell != "?");
  if (common_or_own && (c.column == kBaseClosure || c.column == kPolicyClosure)) {
    m.check_closure = {true, true};
    m.check_closure_save = {true, true};
  }
  if (common_or_own && (c.column == kBaseShocks || (c.column == kPolicyShocks && !cell.empty()))) {
    m.check_shocks = {true, true};
  }
  return m;
}

bool IsQuillpadEditor(const std::string& editor_path) {
  const std::string name = FileNameOf(editor_path);
  return SameText(name, "quillpad") || SameText(name, "quillpad.exe");
}

std::string CellEditFile(const TSimRecord& sim, CellRef cell) {
  CheckCell(sim, cell);
  return CellFilePath(sim, cell.row, cell.column);
}

Result<EditorFileList> EditFilesInSelectedCells(const TSimRecord& sim,
                                                const std::vector<CellRef>& cells,
                                                const std::string& temp_dir, Prompter& prompter) {
  if (cells.empty()) {
    const std::string text = "Sorry, nothing is selected.";
    prompter.Information(text);
    return Fail(text);
  }
  std::vector<CellRef> ordered = cells;
  for (CellRef c : ordered) CheckCell(sim, c);
  std::stable_sort(ordered.begin(), ordered.end(), [](CellRef a, CellRef b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  EditorFileList list;
  std::unordered_set<std::string> seen;
  for (CellRef c : ordered) {
    std::string path = CellFilePath(sim, c.row, c.column);
    if (path.empty()) continue;
    // Names differing only in case are one file to the user, but the path itself keeps
    // its case: lower-casing it would name a file that does not exist here.
    if (seen.insert(LowerCase(path)).second) list.files.push_back(std::move(path));
  }
  list.list_file = JoinPath(temp_dir, kEditorListFileName);
  if (auto s = WriteTextLines(list.list_file, list.files); !s) return Fail(s.error());
  list.argument = std::string(1, static_cast<char>(64)) + list.list_file;
  return list;
}

std::string UsePatternsMessage(bool use_patterns) {
  return std::string(
             "This applies when you change one of the 3 Sim Names shown on the Sim Overview "
             "page.\r\nIf any file name on the Closure/Shocks page matches the pattern based on "
             "the old Sim Name,\r\nthat file name ") +
         (use_patterns ? "WILL" : "WILL NOT") +
         " be changed to match the pattern based on the new Sim Name.";
}

void ChooseUsePatterns(bool& use_patterns, bool use, Prompter& prompter) {
  use_patterns = use;
  prompter.Information(UsePatternsMessage(use));
}

std::string NoRerunMessage(bool no_rerun) {
  return no_rerun ? "Will not Rerun the Base with the Policy closures"
                  : "Will Rerun the Base with the Policy closures";
}

void ChooseNoRerun(TSimRecord& sim, bool& no_rerun, bool value, Prompter& prompter) {
  no_rerun = value;
  sim.CMFCells(kCmfStartRow, CMFStartColumn(kRerun)) = value ? "N/A" : "";
  RecomputeCMFNames(sim);
  prompter.Information(NoRerunMessage(value));
}

void ToggleSolFileShocks(bool& sol_file_shocks, Prompter& prompter) {
  sol_file_shocks = !sol_file_shocks;
  if (sol_file_shocks) prompter.Information(kSolFileShocksNote);
}

}  // namespace yl
