#include "app/pages/closure_page.h"

#include "app/commands/closure_check_commands.h"
#include "app/commands/sol_method_menu.h"
#include "app/pages/closure_table_check.h"
#include "app/pages/sim_overview.h"

namespace yl {

ClosureShockPage::ClosureShockPage(Session& session, BackgroundTasks& background,
                                   Prompter& prompter, Hooks hooks)
    : session_(session), background_(background), prompter_(prompter), hooks_(std::move(hooks)) {}

std::optional<TableView> ClosureShockPage::Refresh() {
  return TableSetup(session_.sim, no_rerun(), prompter_);
}

std::vector<std::vector<GridCell>> ClosureShockPage::Grid(CellRef active) const {
  return BuildGrid(session_.sim, no_rerun(), active);
}

int ClosureShockPage::RowCount() const { return GridRowCount(session_.sim); }

GridPopup ClosureShockPage::PopupAt(int grid_row, int grid_col) const {
  return PopupForClick(session_.sim, grid_row, grid_col);
}

std::vector<CellMenuEntry> ClosureShockPage::CellMenu(const GridSelection& selection) const {
  const CellMenuState s =
      BuildCellMenu(session_.sim, selection, IsQuillpadEditor(session_.settings.options.Editor));
  const std::pair<CellAction, std::pair<const char*, MenuItemState>> items[] = {
      {CellAction::kSelectOne, {"&Select one", s.select_one}},
      {CellAction::kCommon, {"C&ommon", s.common}},
      {CellAction::kNone, {"&None", s.none}},
      {CellAction::kEdit, {"&Edit", s.edit}},
      {CellAction::kCheckFiles, {"Check &Files Named Here", s.check_files}},
      {CellAction::kCheckClosure, {"Check &Closure", s.check_closure}},
      {CellAction::kCheckClosureSave,
       {"Check Closure, Save Environment File", s.check_closure_save}},
      {CellAction::kCheckShocks, {"Check Closure and S&hocks", s.check_shocks}},
      {CellAction::kEditSelected, {"Edit Files in Selected Cells", s.edit_selected}},
      {CellAction::kHelp, {"&Help", s.help}},
  };
  std::vector<CellMenuEntry> menu;
  for (const auto& [action, item] : items) {
    if (item.second.visible) menu.push_back({action, item.first, item.second.enabled});
  }
  return menu;
}

std::vector<PeriodMenuEntry> ClosureShockPage::PeriodMenu() const {
  return {{PeriodAction::kWhichMethod, "Which solution method applies to this year?"},
          {PeriodAction::kNormalThisYear, "Use the normal solution method for THIS year"},
          {PeriodAction::kAlternativeThisYear, "Use the alternative solution method for THIS year"},
          {PeriodAction::kWhatIsAlternative, "What is the alternative solution method?"},
          {PeriodAction::kSpecifyAlternative, "Specify the alternative solution method",
           static_cast<bool>(hooks_.run_method_dialog)},
          {PeriodAction::kNormalAllYears, "Use the normal solution method for ALL years"},
          {PeriodAction::kHelp, "Help about solution methods"}};
}

void ClosureShockPage::Run(CellAction action, const GridSelection& selection) {
  TSimRecord& sim = session_.sim;
  const CellRef cell = selection.active;
  // The check commands take the Common row as period 0.
  const int period = cell.row;
  switch (action) {
    case CellAction::kSelectOne:
      SelectOne(sim, cell, no_rerun(), prompter_);
      break;
    case CellAction::kCommon:
      SetCellCommon(sim, cell, no_rerun(), prompter_);
      break;
    case CellAction::kNone:
      SetCellNone(sim, cell, no_rerun(), prompter_);
      break;
    case CellAction::kEdit: {
      const std::string file = CellEditFile(sim, cell);
      if (file.empty() || !hooks_.open_in_editor) break;
      if (auto s = hooks_.open_in_editor(file); !s) prompter_.Error(s.error());
      break;
    }
    case CellAction::kCheckFiles:
      CheckFilesNamedHere(sim, cell, no_rerun(), prompter_);
      break;
    case CellAction::kCheckClosure:
      CheckClosureCommand(background_.ClosureContext(), cell.column, period);
      break;
    case CellAction::kCheckClosureSave: {
      TextRequest ask;
      ask.caption = kEnvironmentDialogTitle;
      ask.label = kEnvironmentDialogPrompt;
      ask.help_topic = kEnvironmentFileHelpTopic;
      if (auto name = prompter_.AskText(ask)) {
        CheckClosureSaveEnvironmentCommand(background_.ClosureContext(), cell.column, period,
                                           *name);
      }
      break;
    }
    case CellAction::kCheckShocks:
      CheckClosureAndShocksCommand(background_.ClosureContext(), cell.column, period);
      break;
    case CellAction::kEditSelected: {
      auto list = EditFilesInSelectedCells(sim, selection.cells, session_.settings.paths.temp_dir,
                                           prompter_);
      if (!list || !hooks_.open_in_editor) break;
      for (const std::string& f : list->files) {
        if (auto s = hooks_.open_in_editor(f); !s) {
          prompter_.Error(s.error());
          break;
        }
      }
      break;
    }
    case CellAction::kHelp:
      if (hooks_.show_help) hooks_.show_help(kHelpClosureShockPage);
      break;
  }
  (void)Refresh();
}

void ClosureShockPage::Run(PeriodAction action, int period) {
  TSimRecord& sim = session_.sim;
  const SolMethodState& methods = session_.settings.methods;
  switch (action) {
    case PeriodAction::kWhichMethod:
      ShowWhichMethodApplies(sim, methods, period, prompter_);
      break;
    case PeriodAction::kNormalThisYear:
      UseNormalMethodForPeriod(sim, period, prompter_);
      break;
    case PeriodAction::kAlternativeThisYear:
      UseAlternativeMethodForPeriod(sim, methods, period, prompter_);
      break;
    case PeriodAction::kWhatIsAlternative:
      ShowAlternativeMethod(methods, prompter_);
      break;
    case PeriodAction::kSpecifyAlternative:
      if (hooks_.run_method_dialog) {
        SpecifyAlternativeMethod(session_.settings.methods, hooks_.run_method_dialog, prompter_);
      }
      break;
    case PeriodAction::kNormalAllYears:
      UseNormalMethodForAllPeriods(sim, prompter_);
      break;
    case PeriodAction::kHelp:
      if (hooks_.show_help) hooks_.show_help(kHelpSolutionMethods);
      break;
  }
}

bool ClosureShockPage::Type(CellRef cell, std::string_view text) {
  return TypeIntoCell(session_.sim, cell, text, no_rerun(), prompter_).has_value();
}

void ClosureShockPage::FollowPattern(const GridSelection& selection) {
  yl::FollowPattern(session_.sim, selection, no_rerun());
  (void)Refresh();
}

void ClosureShockPage::AsPrevious(const GridSelection& selection) {
  yl::AsPrevious(session_.sim, selection);
  (void)Refresh();
}

}  // namespace yl
