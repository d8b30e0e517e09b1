#pragma once
// The main window: six pages, the menus of the command map and the job panel at its
// foot. It decides nothing itself: the menus and buttons call WindowCommands, the panel
// shows what JobPanel says, and the pump runs the controller's polled work.

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/pages/closure_page.h"
#include "app/pages/model_data_page.h"
#include "app/pages/results_page.h"
#include "app/pages/sim_overview_page.h"
#include "app/window/job_panel.h"
#include "app/window/menu_model.h"
#include "app/window/page_change.h"
#include "app/window/window_commands.h"
#include "ui/screen_saver.h"

class QAction;
class QDialog;
class QMenu;
class QTabWidget;

namespace yl {

class AppController;
class ClosureShockView;
class SimOverviewView;
class OtherFilesView;
class ModelDataView;
class ResultsView;
class WaitWindow;
class EnginePump;
class HelpViewer;

struct MainWindowSetup {
  std::vector<std::string> help_dirs;
  // Starts an editor or a terminal; the default is QProcess::startDetached.
  std::function<Status(const std::vector<std::string>& argv, const std::string& cwd)>
      start_detached;
  bool run_start_up_stage_two = true;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(AppController& app, Prompter& prompter, JobPanel& panel, MainWindowSetup setup);
  ~MainWindow() override;

  WindowCommands& commands() { return *commands_; }
  HelpViewer& help() { return *help_; }
  ClosureShockView& closure_view() { return *closure_view_; }
  SimOverviewView& overview_view() { return *overview_view_; }
  OtherFilesView& other_files_view() { return *other_files_view_; }
  ModelDataView& model_view() { return *model_view_; }
  ResultsView& results_view() { return *results_view_; }
  EnginePump& pump() { return *pump_; }
  // The action of a menu item, by its key; null when there is none.
  QAction* ActionFor(const std::string& key) const;
  // Brings every menu's items to their current states, as opening the menu does.
  void RefreshMenus();
  QPushButton* RunButton(TaskKind task) const;
  QPushButton* cancel_button() const { return cancel_; }
  // The wait window of a background activity (a check); null until first needed.
  WaitWindow* wait_window() const { return wait_; }
  const std::array<QLabel*, 3>& job_labels() const { return job_labels_; }
  std::vector<QAction*> RecentFileActions() const { return recent_actions_; }
  Page current_page() const { return static_cast<Page>(page_); }
  bool ShowPage(Page page);
  // Start-up stage two has run (or the program is closing because it failed).
  bool started() const { return started_; }
  void ShowHelpTopic(int topic);
  void BringToFront();

 Q_SIGNALS:
  void StartUpFinished(bool ok);
  void TaskEnded(bool success);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPages();
  void BuildMenus();
  void BuildJobPanel();
  QMenu* BuildMenu(QMenu* menu, const std::vector<MenuItemSpec>& items);
  void RefreshMenu(const std::vector<MenuItemSpec>& items);
  void RefreshRecentFiles();
  void RefreshJobPanel();
  void RefreshWaitWindow();
  void OnRunningChanged(bool running);
  void OnFinished(bool success);
  void ShowReadOnly(const std::string& path);
  void StartUpStageTwo();
  void Tick();
  void PageChanged(int index);
  void EnterPage(Page page);
  // Whatever the record now holds, every page shows it.
  void RefreshPages();

  AppController& app_;
  Prompter& prompter_;
  JobPanel& panel_;
  MainWindowSetup setup_;
  std::unique_ptr<WindowCommands> commands_;
  std::unique_ptr<EnginePump> pump_;
  HelpViewer* help_ = nullptr;
  std::unique_ptr<ClosureShockPage> closure_page_;
  ClosureShockView* closure_view_ = nullptr;
  std::unique_ptr<SimOverviewPage> overview_page_;
  SimOverviewView* overview_view_ = nullptr;
  OtherFilesView* other_files_view_ = nullptr;
  std::unique_ptr<ModelDataPage> model_page_;
  ModelDataView* model_view_ = nullptr;
  std::unique_ptr<ResultsPage> results_page_;
  ResultsView* results_view_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  int page_ = 0;
  bool changing_page_ = false;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> submenus_;
  QMenu* file_menu_ = nullptr;
  QAction* recent_anchor_ = nullptr;
  std::vector<QAction*> recent_actions_;
  std::map<TaskKind, QPushButton*> run_buttons_;
  QPushButton* help_button_ = nullptr;
  QPushButton* cancel_ = nullptr;
  WaitWindow* wait_ = nullptr;
  std::array<QLabel*, 3> job_labels_{};
  ScreenSaverInhibitor screen_saver_;
  bool started_ = false;
  bool closing_ = false;
};

}  // namespace yl
