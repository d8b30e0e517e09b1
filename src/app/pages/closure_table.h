#pragma once
// The Closure/Shock page's logic without widgets: what each grid cell shows and in which
// colour, the buttons and cell-menu actions that change the table, which menu items are
// offered, and the options of the page with their messages. The page draws what comes
// back and passes the user's clicks in.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"
#include "sim/sim_record.h"
#include "sim/sim_table.h"

namespace yl {

// ---- Grid geometry ---------------------------------------------------------------------

inline constexpr int kGridColumns = 5;
inline constexpr int kGridHeaderRow = 0;
inline constexpr int kGridPatternRow = 1;
inline constexpr int kGridCMFStartRow = 2;
inline constexpr int kCellEditorMaxLength = 9;

// NumYears + 4.
int GridRowCount(const TSimRecord& sim);
// Grid rows 2 and below hold table rows -1 (CMFStart), 0 (Common), 1.. (periods).
inline int TableRowOfGridRow(int grid_row) { return grid_row - 3; }
inline int GridRowOfTableRow(int row) { return row + 3; }

// A cell of the closure/shock table: row -1..NumYears, column 1..4.
struct CellRef {
  int row = 0;
  int column = 1;
  bool operator==(const CellRef&) const = default;
};

// The selected cells when several are selected (empty or one otherwise), and the active
// cell (its row is below -1 when the active cell is in the header or pattern rows).
struct GridSelection {
  std::vector<CellRef> cells;
  CellRef active;
  bool Multiple() const { return cells.size() > 1; }
};

// ---- What a cell shows -----------------------------------------------------------------

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlackText{0, 0, 0};
inline constexpr Rgb kWhiteText{255, 255, 255};
inline constexpr Rgb kNavyText{0, 0, 128};
inline constexpr Rgb kTealText{0, 128, 128};
inline constexpr Rgb kBlueText{0, 0, 255};
inline constexpr Rgb kRedText{255, 0, 0};
inline constexpr Rgb kGreenText{0, 128, 0};

enum class CellState {
  kNormal,
  kMissing,             // the completed file does not exist (red)
  kConstituentMissing,  // the file names a file that does not exist (green)
};

// Whether every file that a command-file piece names exists beside it.
using ConstituentCheckFn = std::function<bool(const std::string& path)>;
// The reference check of the command-file reader, quiet.
bool ConstituentsExist(const std::string& path);

// The state of a Common or period cell; CMFExists must be current.
CellState TableCellState(const TSimRecord& sim, int row, int column,
                         const ConstituentCheckFn& check = ConstituentsExist);

struct GridCell {
  std::string text;
  Rgb colour = kBlackText;
  bool bold = false;
  CellState state = CellState::kNormal;
  bool operator==(const GridCell&) const = default;
};

// Every cell of the grid, [grid row][grid column]. The active cell is a table cell.
std::vector<std::vector<GridCell>> BuildGrid(const TSimRecord& sim, bool no_rerun, CellRef active,
                                             const ConstituentCheckFn& check = ConstituentsExist);

// ---- Changing cells --------------------------------------------------------------------

// "Follow Pattern": the selected period cells, or the active cell from the CMFStart row
// down, take their pattern names. A CMFStart cell holding "N/A" keeps it.
void FollowPattern(TSimRecord& sim, const GridSelection& selection, bool no_rerun);
// "As Previous": the selected cells of periods 2 and later, or the active cell when its
// period is 2 or later, take the previous period's value of their column.
void AsPrevious(TSimRecord& sim, const GridSelection& selection);

// Typing: upper case, at most 9 characters, then the table set-up. nullopt when the
// set-up refused (end-year check).
std::optional<TableView> TypeIntoCell(TSimRecord& sim, CellRef cell, std::string_view text,
                                      bool no_rerun, Prompter& prompter);

// "C&ommon" ("?") and "&None" (empty), each followed by the table set-up.
std::optional<TableView> SetCellCommon(TSimRecord& sim, CellRef cell, bool no_rerun,
                                       Prompter& prompter);
std::optional<TableView> SetCellNone(TSimRecord& sim, CellRef cell, bool no_rerun,
                                     Prompter& prompter);

// "&Select one": the open-file dialog of a cell.
struct SelectOneDialog {
  FileRequest request;      // title, start directory, file name ("*.*" or "*.CLS" ...)
  std::string default_ext;  // "" for the CMFStart row
};
SelectOneDialog SelectOneRequest(const TSimRecord& sim, CellRef cell);
// The checks on a chosen file, in order, each an information message: the cell is only
// changed (and the table set up) when all pass.
bool ApplySelectedFile(TSimRecord& sim, CellRef cell, const std::string& path, bool no_rerun,
                       Prompter& prompter);
// The dialog and the checks; false when cancelled or refused.
bool SelectOne(TSimRecord& sim, CellRef cell, bool no_rerun, Prompter& prompter);

// ---- Menus -----------------------------------------------------------------------------

enum class GridPopup { kNone, kCellMenu, kSolMethodMenu };
inline constexpr char kGridHint[] = "Right click on any cell for possible actions";
inline constexpr char kActiveCellDidNotFollow[] = "Active Cell did not follow right click";
inline constexpr char kSolMethodPopupOutOfRange[] =
    "AlternativeSLMethodPopupYearNo is out of range";

// Which menu a right click opens. A click in the label column of a period row beyond
// NumYears is the internal error kSolMethodPopupOutOfRange.
GridPopup PopupForClick(const TSimRecord& sim, int grid_row, int grid_col);

struct MenuItemState {
  bool visible = false;
  bool enabled = false;
  bool operator==(const MenuItemState&) const = default;
};

struct CellMenuState {
  MenuItemState select_one;          // "&Select one"
  MenuItemState common;              // "C&ommon"
  MenuItemState none;                // "&None"
  MenuItemState edit;                // "&Edit"
  MenuItemState check_files;         // "Check &Files Named Here"
  MenuItemState check_closure;       // "Check &Closure"
  MenuItemState check_closure_save;  // "Check Closure, Save Environment File"
  MenuItemState check_shocks;        // "Check Closure and S&hocks"
  MenuItemState edit_selected;       // "Edit Files in Selected Cells"
  MenuItemState help;                // "&Help"
  bool operator==(const CellMenuState&) const = default;
};

// The items for the selection (the active cell when one cell is selected).
CellMenuState BuildCellMenu(const TSimRecord& sim, const GridSelection& selection,
                            bool editor_is_quillpad);
// Whether the configured editor is Quillpad ("quillpad" or "quillpad.exe", any case).
bool IsQuillpadEditor(const std::string& editor_path);

// The file "&Edit" opens: the cell's completed file in SimDir ("" when it names none).
std::string CellEditFile(const TSimRecord& sim, CellRef cell);

// "Edit Files in Selected Cells": the list file in the temporary directory and the
// editor's one argument ("@" + its path).
struct EditorFileList {
  std::string list_file;
  std::string argument;
  std::vector<std::string> files;
};
inline constexpr char kEditorListFileName[] = "quillpadfiles.lis";
// With nothing selected shows "Sorry, nothing is selected." and fails with that text.
Result<EditorFileList> EditFilesInSelectedCells(const TSimRecord& sim,
                                                const std::vector<CellRef>& cells,
                                                const std::string& temp_dir, Prompter& prompter);

// ---- Options of the page ---------------------------------------------------------------

std::string UsePatternsMessage(bool use_patterns);
void ChooseUsePatterns(bool& use_patterns, bool use, Prompter& prompter);

std::string NoRerunMessage(bool no_rerun);
// Stores the option, writes "N/A" into (or empties) the Rerun's CMFStart cell, recomputes
// the names and shows the message.
void ChooseNoRerun(TSimRecord& sim, bool& no_rerun, bool value, Prompter& prompter);

inline constexpr char kSolFileShocksNote[] =
    "Note that \"Using SOL Files for Shocks\" will not work\r\n unless your EXE program for "
    "solving the model is from\r\n Release 7.0 (or later) of Solvara.";
// Toggles the option; the note is shown when it is switched on.
void ToggleSolFileShocks(bool& sol_file_shocks, Prompter& prompter);

}  // namespace yl
