#include "app/window/window_commands.h"

#include <sstream>

#include "app/commands/task_choices.h"
#include "app/commands/viewer_launch.h"

#include "app/accuracy_mode.h"
#include "app/commands/din_edit_command.h"
#include "app/commands/program_commands.h"
#include "app/commands/re_commands.h"
#include "app/commands/report_commands.h"
#include "app/commands/run_checks_commands.h"
#include "app/commands/shell_command.h"
#include "app/commands/sim_details_commands.h"
#include "app/commands/temp_dir_commands.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/load_choice_dialog.h"
#include "app/log_commands.h"
#include "app/pages/closure_table.h"
#include "app/prerequisites.h"
#include "app/run_preferences.h"
#include "app/task_run.h"
#include "app/version.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/recent_files.h"
#include "settings/sim_details.h"

namespace yl {

namespace {

constexpr int kHelpDinEdit = 7082;

std::string RunPrefs(const std::string& item) { return "Run Preferences > " + item; }
std::string OptionsItem(const std::string& item) { return "Options > " + item; }

}  // namespace

std::string DeleteTempDirMessage(bool clear_at_exit) {
  return std::string("Will ") + (clear_at_exit ? "" : "not ") +
         "delete all files in Temporary Directory when you exit from " + kDisplayName + ".";
}

std::string FewerMessagesMessage(bool fewer) {
  return std::string(kDisplayName) + (fewer ? " will give fewer messages and questions."
                                            : " will give all messages and questions.");
}

std::string VisibleLogFilesMessage() {
  return "Will use \"-log\" when creating LOG file.\r\nYou will be able to see how far the job "
         "has progressed\r\n  if you click on the DOS box in which the job is running.";
}

std::string SuppressScreenSaverMessage(bool suppress) {
  return std::string("Will") + (suppress ? " " : " not ") +
         "suppress the screen saver while this program is running.";
}

WindowCommands::WindowCommands(AppController& app, Prompter& prompter, WindowHooks hooks)
    : app_(app), prompter_(prompter), hooks_(std::move(hooks)) {
  Register();
}

void WindowCommands::Add(const std::string& key, std::function<void()> command) {
  commands_[key] = std::move(command);
}

bool WindowCommands::Run(const std::string& key) {
  auto it = commands_.find(key);
  if (it == commands_.end()) return false;
  it->second();
  if (hooks_.refresh) hooks_.refresh();
  return true;
}

MenuContext WindowCommands::State() const {
  const Session& s = app_.session();
  const ModelState& m = s.settings.model;
  MenuContext w;
  w.job_running = app_.TaskRunning();
  w.model_chosen = !m.ModelFile.empty();
  w.model_file_exists = w.model_chosen && FileExists(m.ModelFile);
  const std::string& keep = s.settings.paths.keep_dir;
  w.last_error_log_exists = !keep.empty() && FileExists(JoinPath(keep, "lasterr.log"));
  w.tab_file_known = !m.TabFileName.empty();
  w.sti_file_known = !m.StiFileName.empty();
  w.re_available = s.settings.re_available;
  w.use_patterns = use_patterns_;
  w.update_options_at_exit = update_options_at_exit_;
  return w;
}

MenuEntryState WindowCommands::ItemState(const MenuItemSpec& item) const {
  return StateOfItem(item, State(), app_.session().settings.options, Available(item.key));
}

void WindowCommands::ShowHelp(int topic) {
  if (hooks_.show_help) hooks_.show_help(topic);
}

const std::vector<std::string>& WindowCommands::RecentFiles() const {
  return app_.session().settings.recent_files;
}

void WindowCommands::AddRecentFile(const std::string& path) {
  yl::AddRecentFile(app_.session().settings.recent_files, path);
}

void WindowCommands::OpenRecentFile(std::size_t index) {
  const auto& list = RecentFiles();
  if (index >= list.size()) return;
  const std::string path = list[index];
  // A relative entry is taken from the working directory.
  const std::string& work = app_.session().sim.SimDir;
  const std::string full = work.empty() ? path : ResolveAgainst(work, path);
  LoadSimDetailsFile(full);
  if (hooks_.refresh) hooks_.refresh();
}

bool WindowCommands::LoadSimDetailsFile(const std::string& path) {
  Session& s = app_.session();
  const bool no_rerun = s.settings.options.NoRerun;
  const std::vector<std::string> texts = LoadChoiceTexts(no_rerun);
  ChoiceRequest parts;
  parts.caption = "Which parts to load?";
  parts.label = LoadChoicePrompt();
  parts.options.assign(texts.begin(), texts.begin() + 4);
  parts.initial = {0};
  parts.help_topic = kHelpSimDetailsName;
  auto picked = prompter_.Choose(parts);
  if (!picked) return false;
  LoadChoice choice;
  const int which = picked->empty() ? -1 : picked->front();
  choice.part = which == 0   ? LoadPart::kAll
                : which == 1 ? LoadPart::kModelData
                : which == 2 ? LoadPart::kSimDetails
                : which == 3 ? LoadPart::kColumns
                             : LoadPart::kNothing;
  if (choice.part == LoadPart::kColumns) {
    CheckListRequest columns;
    columns.caption = "Which parts to load?";
    columns.label = texts[3];
    columns.items.assign(texts.begin() + 4, texts.end());
    columns.checked.assign(columns.items.size(), false);
    columns.help_topic = kHelpSimDetailsName;
    auto ticked = prompter_.CheckItems(columns);
    if (!ticked) return false;
    for (std::size_t c = 0; c < ticked->size() && c < 4; ++c) choice.columns[c + 1] = (*ticked)[c];
  }
  if (!CheckLoadChoice(choice, prompter_)) return false;
  SimDetailsContext ctx{s.settings.paths.keep_dir, false};
  Notices notices;
  const Status loaded = yl::LoadSimDetails(path, choice, s.settings, s.sim, ctx, notices);
  ShowAll(prompter_, notices);
  if (!loaded) return false;
  AddRecentFile(path);
  return true;
}

void WindowCommands::SaveSimDetailsAs() {
  Session& s = app_.session();
  SimDetailsContext ctx{s.settings.paths.keep_dir, false};
  if (auto saved = SaveSimDetails(s.settings, s.sim, ctx, prompter_)) AddRecentFile(*saved);
}

void WindowCommands::LoadSimDetails() {
  const Session& s = app_.session();
  if (auto path = ChooseSimDetailsToLoad(s.sim.SimDir, prompter_)) LoadSimDetailsFile(*path);
}

std::vector<std::string> WindowCommands::EditorCommand(const std::string& path) const {
  const SessionSettings& st = app_.session().settings;
  ProgramSearchContext search;
  search.program_dir = st.paths.program_dir;
  search.solvara_dir = st.paths.solvara_dir;
  search.editor = st.options.Editor;
  return EditorArgv(search, path);
}

ViewerContext WindowCommands::Viewers() {
  Session& s = app_.session();
  ViewerContext c(prompter_, s.settings.options);
  c.program_dir = s.settings.paths.program_dir;
  c.solvara_dir = s.settings.paths.solvara_dir;
  c.work_dir = s.sim.SimDir;
  c.model_dir = s.settings.model.ModelDir.empty() ? s.sim.SimDir : s.settings.model.ModelDir;
  c.start = hooks_.start_detached;
  c.builtin_viewer = hooks_.builtin_viewer;
  return c;
}

Status WindowCommands::OpenInEditor(const std::string& path) {
  if (!hooks_.start_detached) return Fail("No editor can be started here.");
  return hooks_.start_detached(EditorCommand(path), DirOfFile(path));
}

void WindowCommands::Shell(const std::string& dir) {
  const SessionPaths& p = app_.session().settings.paths;
  ShellRequest request;
  request.target_dir = dir;
  request.temp_dir = p.temp_dir;
  request.program_dir = p.program_dir;
  DetachedStarter start = [this](const std::vector<std::string>& argv,
                                 const std::string& cwd) -> Status {
    if (!hooks_.start_detached) return Fail("No terminal can be started here.");
    return hooks_.start_detached(argv, cwd);
  };
  ShellInDirectory(prompter_, request, shell_counter_, start);
}

void WindowCommands::DiagnosticInformation() {
  const Session& s = app_.session();
  const SessionPaths& p = s.settings.paths;
  std::string text = VersionText() + "\r\n";
  text += "Program directory: " + p.program_dir + "\r\n";
  text += "Keep directory: " + p.keep_dir + "\r\n";
  text += "Temporary directory: " + p.temp_dir + "\r\n";
  text += "Working directory: " + s.sim.SimDir + "\r\n";
  text += "Model: " +
          (s.settings.model.ModelFile.empty() ? std::string("(none selected)")
                                              : s.settings.model.ModelFile) +
          "\r\n";
  text +=
      "Sim Details file: " +
      (s.settings.sim_details_file.empty() ? std::string("(none)") : s.settings.sim_details_file);
  prompter_.Information(text);
}

void WindowCommands::About() {
  Options& o = app_.session().settings.options;
  AboutBox box(o.DeveloperMode);
  const AboutFacts facts = ThisProgramFacts();
  if (hooks_.show_about) {
    if (hooks_.show_about(facts)) box.IconClicked();
  } else {
    std::string text = kDisplayName;
    for (const std::string& line : AboutLines(facts)) text += "\r\n" + line;
    prompter_.Information(text);
  }
  const AboutBox::Closing closing = box.Close();
  o.DeveloperMode = closing.developer_mode;
  if (!closing.notice.empty()) prompter_.Information(closing.notice);
}

void WindowCommands::AccuracySummaries() {
  const Session& s = app_.session();
  const auto grid = AccuracySummariesCommand(s.sim, s.settings, prompter_);
  if (!grid) return;
  if (hooks_.show_accuracy_grid) {
    hooks_.show_accuracy_grid(*grid);
    return;
  }
  std::ostringstream table;
  PrintAccuracyGrid(table, *grid);
  prompter_.ShowTextWindow(
      {AccGridTitle(grid->overall, kAccVariables), table.str(), kHelpAccuracySummaries, false});
}

void WindowCommands::SummaryOfCurrentJob() {
  TextWindowRequest r;
  r.caption = "Job Status Overview";
  r.help_topic = kHelpJobPanel;
  r.refresh = true;
  do {
    r.text = app_.JobStatusText();
  } while (prompter_.ShowTextWindow(r) == kRetry);
}

void WindowCommands::StartTask(TaskKind task, int only_run) {
  Session& s = app_.session();
  const int policy_start = QuietPolicyStart(s.sim, s.settings);
  TaskChoices choices;
  if (TaskAsksForChoices(task)) {
    auto asked = AskTaskChoices(task, s, only_run, policy_start, hooks_.ask_tasks, prompter_);
    if (!asked) return;
    choices = *asked;
  }
  const TaskPlan plan = PlanForTask(task, s.sim.NumYears, policy_start, choices);
  if (!RunButtonChecks(s, plan.request, prompter_)) return;
  if (task == TaskKind::kRunSingleThenConcurrent) {
    app_.StartSeries(plan.request);
  } else {
    app_.StartTask(plan.request, plan.do_deviations);
  }
}

void WindowCommands::RunButton(TaskKind task) { StartTask(task); }

void WindowCommands::Cancel() { app_.CancelButton(); }

bool WindowCommands::MayClose() {
  if (!app_.TaskRunning()) return true;
  return prompter_.Confirm(
             "A job is still running.\r\nIf you exit now, the parts still running are "
             "left to end on their own.\r\nDo you really want to exit?",
             kYes | kNo) == kYes;
}

void WindowCommands::Register() {
  Session& s = app_.session();
  SessionSettings& st = s.settings;
  Options& o = st.options;
  auto help = [this](int topic) { return [this, topic] { ShowHelp(topic); }; };

  // File
  Add("File > Help about File menu", help(kHelpFileMenu));
  Add("File > Save Simulation Details As...", [this] { SaveSimDetailsAs(); });
  Add("File > Load Simulation Details...", [this] { LoadSimDetails(); });
  Add("File > Omit Some Periods at the Start", [this] {
    if (OmitSomePeriodsAtStart(app_.session(), hooks_.ask_omit, prompter_) && hooks_.refresh) {
      hooks_.refresh();
    }
  });
  auto view_report = [this](const std::optional<std::string>& report) {
    if (!report) return;
    if (Status opened = OpenInEditor(*report); !opened) prompter_.Error(opened.error());
  };
  auto report = [this, &s, view_report](reports::ReportKind kind) {
    return [this, &s, view_report, kind] { view_report(ReportCommand(kind, s, prompter_)); };
  };
  Add("File > Write Report of Closure/Shocks page", report(reports::ReportKind::kSimDetails));
  Add("File > Compare Two Lots of Closure/Shocks files",
      [this, &s, view_report] { view_report(CompareTwoSimDetailsCommand(s, prompter_)); });
  Add("File > Write Report of all Ingredients", report(reports::ReportKind::kIngredients));
  Add("File > Write Report Showing When Sims Were Last Run", report(reports::ReportKind::kWhenRun));
  Add("Tasks > When Were Sims Last Run ?", report(reports::ReportKind::kWhenRun));
  Add("File > Edit Dynamic Info File", [this, &st] {
    (void)EditDinFile(
        st.model.ModelFile, prompter_, [this](const std::string& p) { return OpenInEditor(p); },
        kHelpDinEdit);
  });
  Add("File > Shell to DOS in Working Directory", [this, &s] { Shell(s.sim.SimDir); });
  Add("File > Shell to Dos in KeepDir", [this, &st] { Shell(st.paths.keep_dir); });
  Add("File > Shell to Dos in Temp Dir", [this, &st] { Shell(st.paths.temp_dir); });
  Add("File > Exit", [this] {
    if (hooks_.close_window) hooks_.close_window();
  });

  // Tasks
  Add("Tasks > Help about Tasks menu", help(kHelpJobPanel));
  using WM = WhereToStartMode;
  auto where = [this, &s](WM mode) {
    return [this, &s, mode] {
      WhereToStartCommand(s, prompter_, mode, app_.TaskRunning(),
                          [this](const jobs::PlanRequest& r) { app_.StartTask(r, true); });
    };
  };
  Add("Tasks > Where to Start?  Results Be the Same if Run Again", where(WM::kSameIfRunAgain));
  Add("Tasks > Where To Start?  Just Check Run in Sequence", where(WM::kJustSequence));
  Add("Tasks > Are Results Ok?  Be the Same if Run Again",
      [this, &s] { AreResultsOkCommand(s, prompter_, ResultsOkMode::kSameIfRunAgain); });
  Add("Tasks > Are Results Ok? Still as when Created",
      [this, &s] { AreResultsOkCommand(s, prompter_, ResultsOkMode::kAsCreated); });
  auto check_all = [this](CheckAllCommand c) {
    return [this, c] { RunCheckAllCommand(app_.background().ClosureContext(), c); };
  };
  Add("Tasks > Check all Base-case Closures", check_all(CheckAllCommand::kBaseClosures));
  Add("Tasks > Check all policy closures", check_all(CheckAllCommand::kPolicyClosures));
  Add("Tasks > Check all Base-case closures and shocks",
      check_all(CheckAllCommand::kBaseClosuresAndShocks));
  Add("Tasks > Check all policy closures and shocks",
      check_all(CheckAllCommand::kPolicyClosuresAndShocks));
  auto task = [this](TaskKind t) { return [this, t] { StartTask(t); }; };
  Add("Tasks > Run Base to Policy", task(TaskKind::kRunAll));
  Add("Tasks > Do Base and Base Rerun", task(TaskKind::kBaseAndRerun));
  Add("Tasks > Rerun Base and Run Policy", task(TaskKind::kRerunAndPolicy));
  Add("Tasks > Run Single Job, then Concurrent", task(TaskKind::kRunSingleThenConcurrent));
  Add("Tasks > Run Part Base, Same Parts Others", task(TaskKind::kPartBaseSamePartsOthers));
  Add("Tasks > Run Part Base, Same Part BaseRerun", task(TaskKind::kPartBaseSamePartsRerun));
  Add("Tasks > Run Part BaseRerun, Same Part Policy", task(TaskKind::kPartRerunSamePartsPolicy));
  Add("Tasks > Run Part Base, All Parts Others", task(TaskKind::kCompleteBaseAllOthers));
  Add("Tasks > Run Part Base, All Parts BaseRerun", task(TaskKind::kCompleteBaseAllRerun));
  Add("Tasks > Run Part BaseRerun, All Parts Policy", task(TaskKind::kCompleteRerunAllPolicy));
  Add("Tasks > Run SS Jobs for Selected Years", task(TaskKind::kSsForSelectedYears));
  Add("Tasks > Run Simulations for Selected Years", task(TaskKind::kSelectedYears));
  auto part = [this](int run) { return [this, run] { StartTask(TaskKind::kSelectedYears, run); }; };
  Add("Tasks > Run part of Base Case", part(kBase));
  Add("Tasks > Do part of Re-run of base case with policy closures", part(kRerun));
  Add("Tasks > Do just part of the Policy Sims run", part(kPolicy));

  // Rational Expectations
  const std::string re = "Rational Expectations > ";
  auto re_task = [this](ReTaskKind kind) {
    return [this, kind] { StartReTaskCommand(app_, prompter_, kind); };
  };
  Add(re + "Run Base, BaseRerun and Policy", re_task(ReTaskKind::kBaseToPolicy));
  Add(re + "Do Base and Base Rerun", re_task(ReTaskKind::kBaseAndRerun));
  Add(re + "Rerun Base and Run Policy", re_task(ReTaskKind::kRerunAndPolicy));
  auto extra = [this](int run) {
    return [this, run] { ExtraIterationsCommand(app_, prompter_, run); };
  };
  Add(re + "Base: Do Extra Iterations", extra(kBase));
  Add(re + "Base Rerun: Do Extra Iterations", extra(kRerun));
  Add(re + "Policy: Do Extra Iterations", extra(kPolicy));
  const std::array<std::pair<std::string, KeptReFile>, 3> kept{
      {{"View Convergence HAR File", KeptReFile::kConvergenceHar},
       {"View Convergence ROREXT File", KeptReFile::kRorext},
       {"View Convergence CSV File", KeptReFile::kCsv}}};
  for (const auto& [menu, kind] : kept) {
    for (const auto& [item, run] : {std::pair<std::string, int>{"Base", kBase},
                                    {"Base Rerun", kRerun},
                                    {"Policy", kPolicy}}) {
      Add(re + menu + " > " + item, [this, &s, run, kind] {
        ViewKeptFilesCommand(s, prompter_, run, kind, [this, kind](const std::string& file) {
          ViewerContext c = Viewers();
          if (kind == KeptReFile::kCsv) {
            LaunchSpreadsheet(c, file);
          } else {
            LaunchHeaderArrayViewer(c, file);
          }
        });
      });
    }
  }
  Add(re + "Run Selected SS Jobs", [this] { StartTask(TaskKind::kSelectedSsJobs); });
  auto toggle = [this, &s](ReSettingItem item) {
    return [this, &s, item] { ToggleReSetting(s, prompter_, item); };
  };
  Add(re + "Create Convergence HAR Files", toggle(ReSettingItem::kHarFiles));
  Add(re + "Preserve Convergence ROREXT Files", toggle(ReSettingItem::kRorextFiles));
  Add(re + "Preserve Convergence CSV Files", toggle(ReSettingItem::kCsvFiles));
  Add(re + "Carry out Standard CORVAN Checks", toggle(ReSettingItem::kStandardChecks));
  Add(re + "TAB File Allows Several Iterations on Rerun", toggle(ReSettingItem::kSeveralRerun));
  Add("Options > Hide Rational Expectations",
      [this, &s] { ToggleHideRationalExpectations(s, prompter_); });

  // View
  Add("View > Help about View menu", help(kHelpViewMenu));
  auto show = [this](const std::string& path) {
    if (hooks_.show_read_only) hooks_.show_read_only(path);
  };
  Add("View > Header Array file...", [this, &s] {
    ViewerContext c = Viewers();
    LaunchHeaderArrayViewer(c, "%" + s.sim.SimDir);
  });
  Add("View > Solution files...", [this, &s] {
    ViewerContext c = Viewers();
    LaunchSolutionViewer(c, "%" + s.sim.SimDir);
  });
  Add("View > Text file...", [this, &s] {
    FileRequest r;
    r.title = "Edit file";
    r.filter = "Solvara Related files|*.TAB;*.CMF;*.TXT|All Files (*.*)|*.*";
    r.start_dir = s.sim.SimDir;
    r.help_topic = kHelpTextFile;
    const std::vector<std::string> files = prompter_.ChooseFiles(r);
    if (files.empty()) return;
    ViewerContext c = Viewers();
    LaunchEditor(c, files.front());
  });
  Add("View > Spreadsheet file...", [this] {
    ViewerContext c = Viewers();
    LaunchSpreadsheet(c, "");
  });
  auto quillo = [this, &st](QuilloFile what) {
    return [this, &st, what] {
      auto show = [this](const std::string& file) {
        ViewerContext c = Viewers();
        LaunchEditor(c, file, true);
      };
      // The same lookup as the ingredients archive: beside the model, or a copy already
      // extracted and still up to date, needs no job.
      const ModelState model = WithQuilloNames(st.model, st.min_din.MinPath);
      const QuilloFileLookup found = LocateQuilloFile(model, what, st.paths.temp_dir);
      if (found.state == QuilloFileLookup::State::kFound) {
        show(found.path);
        return;
      }
      if (found.state == QuilloFileLookup::State::kNotUsed) {
        prompter_.Information("No STI file was used to run Quillo.");
        return;
      }
      app_.background().StartQuilloExtraction(what, model, show);
      if (hooks_.refresh) hooks_.refresh();
    };
  };
  Add("View > Main Quillo file", quillo(QuilloFile::kTab));
  Add("View > Quillo STI (Condensation) file", quillo(QuilloFile::kSti));
  Add("View > Last Error Log", [&st, show] { ViewLastErrorLog(st.paths.keep_dir, show); });
  Add("View > Jobs Log File",
      [this, &st, show] { ViewJobsLog(st.paths.keep_dir, prompter_, show); });

  // Options
  Add("Options > Help about Options", help(kHelpOptionsMenu));
  Add("Options > Specify Spreadsheet program",
      [this, &st, &o] { ChooseSpreadsheet(prompter_, st.paths.program_dir, o.Spreadsheet); });
  Add("Options > Change Editor", [this, &st, &o] {
    ProgramSearchContext ctx;
    ctx.program_dir = st.paths.program_dir;
    ctx.solvara_dir = st.paths.solvara_dir;
    ctx.editor = o.Editor;
    ChooseEditor(prompter_, ctx);
    o.Editor = ctx.editor;
  });
  for (const char* program : {"Tabulon", "Halvo"}) {
    Add(std::string("Options > Which ") + program + " to use", [this, program] {
      ViewerContext c = Viewers();
      ChooseViewerProgram(c, program);
    });
  }
  Add("Options > Which Deepro to use", [this] {
    ViewerContext c = Viewers();
    ChooseViewerProgram(c, "Deepro");
  });
  Add("Options > Usual Method for finding Solvara programs",
      [&st] { UseUsualSolvaraMethod(st.paths.solvara_dir); });
  Add("Options > Specify directory for Solvara programs", [this, &st] {
    SpecifySolvaraDirectory(prompter_, st.paths.program_dir, st.paths.solvara_dir);
  });
  Add("Options > Specify Temporary Directory",
      [this, &st] { SpecifyTemporaryDirectory(prompter_, kDisplayName, st.paths); });
  Add("Options > Check Temporary Directory", [this] { app_.background().StartTempDirCheck(); });
  auto temp_at_exit = [this, &o](bool clear) {
    return [this, &o, clear] {
      o.ClearTempDirAtExit = clear;
      prompter_.Information(DeleteTempDirMessage(clear), kHelpDeleteTempDir, kOk | kHelp);
    };
  };
  const std::string tmp = "Options > Delete Temp Dir Files when Exit ? > ";
  Add(tmp + "Delete Temp Dir Files when Exit", temp_at_exit(true));
  Add(tmp + "Do Not Delete Temp Dir Files when Exit", temp_at_exit(false));
  Add(tmp + "Help", help(kHelpDeleteTempDir));
  Add(OptionsItem("Don't update INI file when exit"),
      [this] { update_options_at_exit_ = !update_options_at_exit_; });
  Add(OptionsItem("Fewer Messages and Questions"), [this, &o] {
    o.FewerMessages = !o.FewerMessages;
    prompter_.Information(FewerMessagesMessage(o.FewerMessages), kHelpFewerMessages, kOk | kHelp);
  });
  Add(OptionsItem("Diagnostic Information"), [this] { DiagnosticInformation(); });
  Add(OptionsItem("Use Patterns when Change Sim Names"),
      [this] { ChooseUsePatterns(use_patterns_, true, prompter_); });
  Add(OptionsItem("Ignore Patterns when Change Sim Names"),
      [this] { ChooseUsePatterns(use_patterns_, false, prompter_); });

  // Run Preferences
  Add(RunPrefs("Help about Run Preferences menu"), help(kHelpRunPreferences));
  Add(RunPrefs("Do Rerun Base Case with Policy Closures"),
      [this, &s, &o] { ChooseNoRerun(s.sim, o.NoRerun, false, prompter_); });
  Add(RunPrefs("Do Not Rerun Base Case with Policy Closures"),
      [this, &s, &o] { ChooseNoRerun(s.sim, o.NoRerun, true, prompter_); });
  Add(RunPrefs("Do Abbreviated SS Jobs"), [this, &o] { ToggleAbbreviatedSsJobs(o, prompter_); });
  Add(RunPrefs("Make Year-on-Year Differences SS"),
      [this, &o] { ToggleYonYDifferencesSs(o, prompter_); });
  Add(RunPrefs("Accumulate Subtotals Results"),
      [this, &o] { ToggleAccumulateSubtotals(o, prompter_); });
  Add(RunPrefs("Arithmetic problems not fatal for spreadsheet jobs"),
      [this, &o] { ToggleArithmeticNotFatal(o, prompter_); });
  Add(RunPrefs("Use SOL files for Shocks"),
      [this, &o] { ToggleSolFileShocks(o.SolFileShocks, prompter_); });
  Add(RunPrefs("Complete Base First"), [&o] { o.CompleteBaseFirst = !o.CompleteBaseFirst; });
  const std::string outputs = "Run Preferences > Move/Delete Outputs Before Run ? > ";
  auto outputs_choice = [this, &o](OutputsBeforeRun c) {
    return [this, &o, c] { ChooseOutputsBeforeRun(o, c, prompter_); };
  };
  Add(outputs + "Move to Subdirectory", outputs_choice(OutputsBeforeRun::kMove));
  Add(outputs + "Delete", outputs_choice(OutputsBeforeRun::kDelete));
  Add(outputs + "Do not Move or Delete", outputs_choice(OutputsBeforeRun::kNeither));
  Add(outputs + "Help", help(kHelpRunPreferences));  // its page covers the outputs
  Add(RunPrefs("Add to Jobs Log File"), [this, &st, &o] {
    o.AddToJobsLog = ToggleAddToJobsLog(o.AddToJobsLog, st.paths.keep_dir, prompter_);
  });
  Add(RunPrefs("Restart Jobs Log File"),
      [this, &st] { RestartJobsLog(st.paths.keep_dir, prompter_); });
  Add(RunPrefs("View Jobs Log File"),
      [this, &st, show] { ViewJobsLog(st.paths.keep_dir, prompter_, show); });
  Add(RunPrefs("Restart Batch Jobs Log File"),
      [this, &st] { RestartBatchJobsLog(st.paths.keep_dir, prompter_); });
  Add(RunPrefs("View Batch Jobs Log File"),
      [this, &st, show] { ViewBatchJobsLog(st.paths.keep_dir, prompter_, show); });
  auto slots = [this, &o](SlotChoice c) { return [this, &o, c] { ChooseSlots(o, c, prompter_); }; };
  Add(RunPrefs("Allow 2 Concurrent Solves"), slots(SlotChoice::kAllow2ConcurrentSolves));
  Add(RunPrefs("Allow 3 Concurrent Solves"), slots(SlotChoice::kAllow3ConcurrentSolves));
  Add(RunPrefs("Just One Solve (no. 1)"), slots(SlotChoice::kJustOneSolveNo1));
  Add(RunPrefs("Just One Solve (no. 2)"), slots(SlotChoice::kJustOneSolveNo2));
  Add(RunPrefs("Never Use Bat Job for Simulations"), [&o] { o.NeverBatJob = !o.NeverBatJob; });
  Add(RunPrefs("Log Files Visible During Run"), [this, &o] {
    o.VisibleLogFiles = !o.VisibleLogFiles;
    if (o.VisibleLogFiles)
      prompter_.Information(VisibleLogFilesMessage(), kHelpVisibleLogs, kOk | kHelp);
  });
  Add(RunPrefs("Suppress Screen Saver While Job Running"), [this, &o] {
    o.SuppressScreenSaver = !o.SuppressScreenSaver;
    prompter_.Information(SuppressScreenSaverMessage(o.SuppressScreenSaver));
  });
  Add(RunPrefs("Check Job Prerequisites"),
      [this, &o] { ToggleCheckJobPrerequisites(o, prompter_); });

  // Help
  Add("Help > Contents", help(kHelpContents));
  Add("Help > Help about Page currently showing in Yearloom", [this] {
    ShowHelp(hooks_.current_page_topic ? hooks_.current_page_topic() : kHelpContents);
  });
  Add("Help > What's New", help(kHelpWhatsNew));
  Add("Help > About Yearloom", [this] { About(); });
  Add("Tasks > Summary of Current Job", [this] { SummaryOfCurrentJob(); });
  Add("View > Accuracy Summaries", [this] { AccuracySummaries(); });
  RegisterZip();
}

}  // namespace yl
