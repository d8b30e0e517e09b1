#pragma once
// The Closure/Shock page as one object the window binds to: the grid to draw, the cell
// menu to offer, and every action of the page's buttons and menus, each run with the
// session's record and the user's answers.

#include <functional>
#include <string>
#include <vector>

#include "app/background_tasks.h"
#include "app/commands/sol_method_menu.h"
#include "app/pages/closure_table.h"
#include "app/session.h"
#include "core/prompter.h"

namespace yl {

inline constexpr int kHelpClosureShockPage = 7015;
inline constexpr char kLegendMissing[] = "Red files do not exist";
inline constexpr char kLegendConstituent[] = "Green files exist, but a constituent does not";
inline constexpr char kLegendRightClick[] = "Right click on cells for action";

enum class CellAction {
  kSelectOne,
  kCommon,
  kNone,
  kEdit,
  kCheckFiles,
  kCheckClosure,
  kCheckClosureSave,
  kCheckShocks,
  kEditSelected,
  kHelp,
};

struct CellMenuEntry {
  CellAction action;
  std::string caption;  // with "&"
  bool enabled = false;
};

enum class PeriodAction {
  kWhichMethod,
  kNormalThisYear,
  kAlternativeThisYear,
  kWhatIsAlternative,
  kSpecifyAlternative,
  kNormalAllYears,
  kHelp,
};

struct PeriodMenuEntry {
  PeriodAction action;
  std::string caption;
  bool enabled = true;
};

class ClosureShockPage {
 public:
  struct Hooks {
    std::function<Status(const std::string& path)> open_in_editor;
    std::function<void(int topic)> show_help;
    SolMethodDialogRunner run_method_dialog;  // unset: the alternative cannot be specified
  };
  ClosureShockPage(Session& session, BackgroundTasks& background, Prompter& prompter, Hooks hooks);

  // Names and existence brought up to date, for drawing; nullopt when the years were
  // refused (the end-year check said why).
  std::optional<TableView> Refresh();
  std::vector<std::vector<GridCell>> Grid(CellRef active) const;
  int RowCount() const;

  // The menu of a right click on (grid_row, grid_col): cell actions, the period's
  // solution-method actions, or nothing.
  GridPopup PopupAt(int grid_row, int grid_col) const;
  std::vector<CellMenuEntry> CellMenu(const GridSelection& selection) const;
  std::vector<PeriodMenuEntry> PeriodMenu() const;

  void Run(CellAction action, const GridSelection& selection);
  void Run(PeriodAction action, int period);
  // Typing into a cell; false when the table set-up refused.
  bool Type(CellRef cell, std::string_view text);
  void FollowPattern(const GridSelection& selection);
  void AsPrevious(const GridSelection& selection);

 private:
  bool no_rerun() const { return session_.settings.options.NoRerun; }

  Session& session_;
  BackgroundTasks& background_;
  Prompter& prompter_;
  Hooks hooks_;
};

}  // namespace yl
