#pragma once
// What the window's menu items and buttons do. Each command is written once here and
// called by the menu, the button and the tests alike; the window only supplies the few
// things that need a desktop (help, viewers, detached programs, closing).

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/commands/accuracy_command.h"
#include "app/commands/viewer_launch.h"
#include "app/controller.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/omit_periods.h"
#include "app/dialogs/results_to_save.h"
#include "app/dialogs/tasks_dialog.h"
#include "app/tasks.h"
#include "app/window/menu_model.h"
#include "core/status.h"

namespace yl {

// Help topics of the window.
inline constexpr int kHelpContents = 599;
inline constexpr int kHelpWhatsNew = 7088;
inline constexpr int kHelpJobPanel = 7085;
inline constexpr int kHelpFileMenu = 7022;
inline constexpr int kHelpViewMenu = 7041;
inline constexpr int kHelpZipMenu = 7135;
inline constexpr int kHelpOptionsMenu = 7042;
inline constexpr int kHelpDeleteTempDir = 7112;
inline constexpr int kHelpFewerMessages = 7142;
inline constexpr int kHelpVisibleLogs = 7124;

struct WindowHooks {
  std::function<void(int topic)> show_help;
  std::function<void(const std::string& path)> show_read_only;  // a log or report
  // Starts a program that outlives nothing of ours (an editor, a terminal).
  std::function<Status(const std::vector<std::string>& argv, const std::string& cwd)>
      start_detached;
  std::function<void()> close_window;
  std::function<int()> current_page_topic;
  std::function<void()> refresh;  // the setup shown may have changed
  AskOmitPeriods ask_omit;        // the "Which Periods to Omit at the Start" dialog
  AskTasks ask_tasks;             // the "Which Tasks to Do" dialog

  // The "Which Results to Save" dialog.
  AskResultsToSave ask_results_to_save;
  // The program's own results viewer; unset: the external viewers only.
  std::function<void(const std::vector<std::string>& files)> builtin_viewer;
  // The About box; true when its icon was clicked while it was open.
  std::function<bool(const AboutFacts& facts)> show_about;
  // The grid of accuracy faces; unset: the grid as a table of text.
  std::function<void(const AccGrid& grid)> show_accuracy_grid;
};

class WindowCommands {
 public:
  WindowCommands(AppController& app, Prompter& prompter, WindowHooks hooks);

  // A command carries the item with this key.
  bool Available(const std::string& key) const { return commands_.contains(key); }
  // Runs the item's command; false when no command carries it.
  bool Run(const std::string& key);

  MenuContext State() const;
  MenuEntryState ItemState(const MenuItemSpec& item) const;

  // The bottom panel's Run buttons and Cancel.
  void RunButton(TaskKind task);
  void Cancel();
  bool JobRunning() const { return app_.TaskRunning(); }

  // The recent-files list of the File menu, most recent first.
  const std::vector<std::string>& RecentFiles() const;
  void AddRecentFile(const std::string& path);
  void OpenRecentFile(std::size_t index);
  // Loads a Sim Details file as the File menu does after the file was chosen.
  bool LoadSimDetailsFile(const std::string& path);

  // The editor's command line for a file: the chosen editor, else the desktop's opener.
  std::vector<std::string> EditorCommand(const std::string& path) const;
  // What the viewers, the editor and the spreadsheet program are started with now.
  ViewerContext Viewers();

  bool update_options_at_exit() const { return update_options_at_exit_; }
  // Whether the window may close now: while a task runs, the user is asked first.
  bool MayClose();

 private:
  void Register();
  void RegisterZip();  // window/zip_menu_commands.cpp
  void Add(const std::string& key, std::function<void()> command);
  void ShowHelp(int topic);
  // only_run: the run of the part-of-one-run items; 0 otherwise.
  void StartTask(TaskKind task, int only_run = 0);
  void SaveSimDetailsAs();
  void LoadSimDetails();
  void Shell(const std::string& dir);
  Status OpenInEditor(const std::string& path);
  void DiagnosticInformation();
  void About();
  void SummaryOfCurrentJob();
  void AccuracySummaries();

  AppController& app_;
  Prompter& prompter_;
  WindowHooks hooks_;
  std::map<std::string, std::function<void()>> commands_;
  bool use_patterns_ = true;
  bool update_options_at_exit_ = true;
  int shell_counter_ = 0;
};

// The messages of the window's own toggles.
std::string DeleteTempDirMessage(bool clear_at_exit);
std::string FewerMessagesMessage(bool fewer);
std::string VisibleLogFilesMessage();
std::string SuppressScreenSaverMessage(bool suppress);

}  // namespace yl
