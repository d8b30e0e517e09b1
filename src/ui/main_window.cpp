#include "ui/main_window.h"

#include "app/viewer/series_sources.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/controller.h"
#include "platform/paths.h"
#include "settings/recent_files.h"
#include "ui/about_dialog.h"
#include "ui/acc_detail_window.h"
#include "ui/acc_grid_window.h"
#include "ui/app_icon.h"
#include "ui/closure_shock_view.h"
#include "ui/engine_pump.h"
#include "ui/help_viewer.h"
#include "ui/model_data_view.h"
#include "ui/omit_periods_dialog.h"
#include "ui/other_files_view.h"
#include "ui/qt_prompter.h"
#include "ui/results_to_save_dialog.h"
#include "ui/results_view.h"
#include "ui/results_viewer.h"
#include "ui/sim_overview_view.h"
#include "ui/sol_method_dialog_widget.h"
#include "ui/tasks_dialog_widget.h"
#include "ui/wait_window.h"

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A log larger than this is shown from its end: the last lines say what went wrong.
constexpr qint64 kLargestLogShown = 8 << 20;

const char* RunColour(int run) {
  switch (run) {
    case 1:
      return "#1f4e9c";  // Base
    case 2:
      return "#2e7d32";  // Base Rerun
    case 3:
      return "#b23c17";  // Policy
    default:
      return "#444444";
  }
}

Status StartDetached(const std::vector<std::string>& argv, const std::string& cwd) {
  if (argv.empty()) return Fail("Nothing to start.");
  QStringList args;
  for (std::size_t i = 1; i < argv.size(); ++i) args << Q(argv[i]);
  if (!QProcess::startDetached(Q(argv[0]), args, Q(cwd))) {
    return Fail("Unable to run " + argv[0]);
  }
  return Ok();
}

// The Introduction page's picture: three runs woven across the years.
QPixmap LoomPicture(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const int years = 12;
  QPen warp(QColor("#c8c8c8"), 2);
  for (int y = 0; y <= years; ++y) {
    const int x = 20 + y * (width - 40) / years;
    p.setPen(warp);
    p.drawLine(x, 10, x, height - 10);
  }
  const int runs[] = {1, 2, 3};
  for (int r : runs) {
    QPen weft{QColor(RunColour(r)), 6};
    weft.setCapStyle(Qt::RoundCap);
    p.setPen(weft);
    QPainterPath path;
    const int base = height / 4 * r;
    path.moveTo(20, base);
    for (int y = 1; y <= years; ++y) {
      const int x = 20 + y * (width - 40) / years;
      const int drift = r == 3 && y > 4 ? (y - 4) * 4 : 0;
      path.lineTo(x, base - drift + ((y + r) % 2 == 0 ? -6 : 6));
    }
    p.drawPath(path);
  }
  return pixmap;
}

}  // namespace

MainWindow::MainWindow(AppController& app, Prompter& prompter, JobPanel& panel,
                       MainWindowSetup setup)
    : app_(app), prompter_(prompter), panel_(panel), setup_(std::move(setup)) {
  setWindowTitle(kDisplayName);
  setWindowIcon(AppIcon());
  if (!setup_.start_detached) setup_.start_detached = StartDetached;
  help_ = new HelpViewer(setup_.help_dirs, this);

  WindowHooks hooks;
  hooks.show_help = [this](int topic) { ShowHelpTopic(topic); };
  hooks.show_read_only = [this](const std::string& path) { ShowReadOnly(path); };
  hooks.start_detached = setup_.start_detached;
  hooks.close_window = [this] { QTimer::singleShot(0, this, &QWidget::close); };
  hooks.current_page_topic = [this] { return kPages[static_cast<std::size_t>(page_)].help_topic; };
  hooks.builtin_viewer = [this](const std::vector<std::string>& files) {
    const Session& s = app_.session();
    OpenInResultsViewer(this, files, RunResultsFiles(s.sim, s.settings.options.NoRerun));
  };
  hooks.ask_tasks = QtAskTasks(this, [this](int topic) { ShowHelpTopic(topic); });
  hooks.show_about = QtShowAbout(this);
  hooks.show_accuracy_grid =
      QtShowAccuracyGrid(this, prompter_, [this](int topic) { ShowHelpTopic(topic); });
  hooks.ask_omit = QtAskOmitPeriods(this, [this](int topic) { ShowHelpTopic(topic); });
  hooks.ask_results_to_save = QtAskResultsToSave(this, [this](int topic) { ShowHelpTopic(topic); });
  hooks.refresh = [this] {
    RefreshPages();
    RefreshRecentFiles();
    RefreshJobPanel();
    RefreshWaitWindow();
  };
  commands_ = std::make_unique<WindowCommands>(app_, prompter_, hooks);
  ClosureShockPage::Hooks page_hooks;
  page_hooks.open_in_editor = [this](const std::string& path) -> Status {
    return setup_.start_detached(commands_->EditorCommand(path), DirOfFile(path));
  };
  page_hooks.show_help = [this](int topic) { ShowHelpTopic(topic); };
  page_hooks.run_method_dialog =
      QtSolMethodDialogRunner(this, prompter_, [this](int topic) { ShowHelpTopic(topic); });
  closure_page_ =
      std::make_unique<ClosureShockPage>(app_.session(), app_.background(), prompter_, page_hooks);
  SimOverviewPage::Hooks overview_hooks;
  overview_hooks.open_in_editor = page_hooks.open_in_editor;
  overview_hooks.saved = [this](const std::string& path) { commands_->AddRecentFile(path); };
  overview_hooks.load = [this](const std::string& path) {
    commands_->LoadSimDetailsFile(path);
    RefreshPages();
    RefreshRecentFiles();
  };
  overview_hooks.run_method_dialog = page_hooks.run_method_dialog;
  overview_hooks.omit_periods = [this] { commands_->Run("File > Omit Some Periods at the Start"); };
  overview_page_ = std::make_unique<SimOverviewPage>(app_.session(), prompter_, overview_hooks);
  ModelDataPage::Hooks model_hooks;
  model_hooks.show_help = page_hooks.show_help;
  model_hooks.open_in_editor = page_hooks.open_in_editor;
  model_hooks.view_har = [this](const std::string& path) -> Status {
    ViewerContext c = commands_->Viewers();
    LaunchHeaderArrayViewer(c, path);
    return Ok();
  };
  model_hooks.start_model_check = [this] {
    const bool started = app_.background().StartModelCheck();
    RefreshWaitWindow();
    return started;
  };
  model_page_ = std::make_unique<ModelDataPage>(app_.session(), prompter_, model_hooks);
  results_page_ = std::make_unique<ResultsPage>(app_.session(), prompter_,
                                                [this] { return commands_->Viewers(); });
  results_page_->set_show_accuracy([this](const AccSummary& summary, const std::string& prefix) {
    auto* detail = new AccDetailWindow(
        summary, prefix, kHelpAccuracySummaries, prompter_,
        [this](int topic) { ShowHelpTopic(topic); }, this);
    detail->setAttribute(Qt::WA_DeleteOnClose);
    detail->show();
  });

  JobPanel::Hooks panel_hooks;
  panel_hooks.changed = [this] { RefreshJobPanel(); };
  panel_hooks.finished = [this](bool success) { OnFinished(success); };
  panel_hooks.running_changed = [this](bool running) { OnRunningChanged(running); };
  panel_hooks.show_log = [this](const std::string& path) { ShowReadOnly(path); };
  panel_.set_hooks(panel_hooks);

  pump_ = std::make_unique<EnginePump>(app_, [this] { Tick(); });

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  tabs_ = new QTabWidget(central);
  layout->addWidget(tabs_, 1);
  setCentralWidget(central);
  BuildPages();
  BuildMenus();
  BuildJobPanel();
  layout->addWidget(findChild<QWidget*>("jobPanel"));

  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::ApplicationShortcut);
  connect(f1, &QShortcut::activated, this,
          [this] { commands_->Run("Help > Help about Page currently showing in Yearloom"); });

  if (QScreen* screen = this->screen()) {
    const QRect r = screen->availableGeometry();
    resize(r.width() * 3 / 4, r.height() * 3 / 4);
  }
  RefreshMenus();
  RefreshJobPanel();
  if (setup_.run_start_up_stage_two) QTimer::singleShot(0, this, [this] { StartUpStageTwo(); });
}

MainWindow::~MainWindow() {
  pump_->Stop();
  panel_.set_hooks({});
}

void MainWindow::BuildPages() {
  for (const PageInfo& page : kPages) {
    auto* w = new QWidget(tabs_);
    auto* l = new QVBoxLayout(w);
    if (&page == &kPages[0]) {
      auto* name = new QLabel(kDisplayName, w);
      QFont big = name->font();
      big.setPointSize(big.pointSize() * 3);
      big.setBold(true);
      name->setFont(big);
      name->setAlignment(Qt::AlignCenter);
      auto* line = new QLabel("For recursive dynamic models", w);
      QFont sub = line->font();
      sub.setPointSize(sub.pointSize() * 3 / 2);
      line->setFont(sub);
      line->setAlignment(Qt::AlignCenter);
      auto* picture = new QLabel(w);
      picture->setPixmap(LoomPicture(420, 160));
      picture->setAlignment(Qt::AlignCenter);
      l->addStretch();
      l->addWidget(name);
      l->addWidget(line);
      l->addSpacing(24);
      l->addWidget(picture);
      l->addStretch();
    } else if (&page == &kPages[static_cast<int>(Page::kModelData)]) {
      model_view_ = new ModelDataView(
          *model_page_, [this] { RefreshPages(); }, w);
      l->setContentsMargins(0, 0, 0, 0);
      l->addWidget(model_view_);
    } else if (&page == &kPages[static_cast<int>(Page::kResults)]) {
      results_view_ = new ResultsView(
          *results_page_, [this](int topic) { ShowHelpTopic(topic); }, w);
      results_view_->SetAccuracySummaries([this] { commands_->Run("View > Accuracy Summaries"); });
      l->addWidget(results_view_);
    } else if (&page == &kPages[static_cast<int>(Page::kSimOverview)]) {
      overview_view_ = new SimOverviewView(
          *overview_page_, [this] { return commands_->State().use_patterns; }, w);
      l->addWidget(overview_view_);
    } else if (&page == &kPages[static_cast<int>(Page::kOtherFiles)]) {
      other_files_view_ = new OtherFilesView(app_.session().sim, w);
      l->setContentsMargins(0, 0, 0, 0);
      l->addWidget(other_files_view_);
    } else if (&page == &kPages[static_cast<int>(Page::kClosureShock)]) {
      closure_view_ = new ClosureShockView(*closure_page_, w);
      l->setContentsMargins(0, 0, 0, 0);
      l->addWidget(closure_view_);
    } else {
      auto* caption = new QLabel(page.caption, w);
      QFont f = caption->font();
      f.setPointSize(f.pointSize() * 2);
      caption->setFont(f);
      caption->setAlignment(Qt::AlignCenter);
      l->addWidget(caption);
    }
    tabs_->addTab(w, page.caption);
  }
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::PageChanged);
}

bool MainWindow::ShowPage(Page page) {
  tabs_->setCurrentIndex(static_cast<int>(page));
  return page_ == static_cast<int>(page);
}

void MainWindow::PageChanged(int index) {
  if (changing_page_ || index == page_) return;
  if (!LeavePage(static_cast<Page>(page_), app_.session(), prompter_)) {
    changing_page_ = true;
    tabs_->setCurrentIndex(page_);
    changing_page_ = false;
    return;
  }
  page_ = index;
  EnterPage(static_cast<Page>(index));
}

void MainWindow::EnterPage(Page page) {
  if (page == Page::kModelData) model_view_->Entered();
  if (page == Page::kResults) results_view_->Refresh();
  if (page == Page::kClosureShock) closure_view_->Entered();
  if (page == Page::kSimOverview) overview_view_->Refresh();
  if (page == Page::kOtherFiles) other_files_view_->Refresh();
}

void MainWindow::RefreshPages() {
  if (model_view_) model_view_->Refresh();
  if (results_view_) results_view_->Refresh();
  if (overview_view_) overview_view_->Refresh();
  if (closure_view_) closure_view_->Refresh();
  if (other_files_view_) other_files_view_->Refresh();
}

QMenu* MainWindow::BuildMenu(QMenu* menu, const std::vector<MenuItemSpec>& items) {
  menu->setToolTipsVisible(true);
  for (const MenuItemSpec& item : items) {
    switch (item.kind) {
      case MenuItemKind::kSeparator:
        menu->addSeparator();
        break;
      case MenuItemKind::kSubmenu: {
        QMenu* sub = menu->addMenu(Q(item.caption));
        submenus_[item.key] = sub;
        BuildMenu(sub, item.items);
        break;
      }
      case MenuItemKind::kRecentFiles:
        for (int i = 0; i < kRecentFilesShown; ++i) {
          QAction* a = menu->addAction(QString());
          a->setVisible(false);
          connect(a, &QAction::triggered, this,
                  [this, i] { commands_->OpenRecentFile(static_cast<std::size_t>(i)); });
          recent_actions_.push_back(a);
        }
        break;
      default: {
        QAction* a = menu->addAction(Q(item.caption));
        a->setCheckable(item.kind == MenuItemKind::kCheck);
        actions_[item.key] = a;
        connect(a, &QAction::triggered, this, [this, key = item.key] {
          commands_->Run(key);
          // A task or a check may have started: watch its processes from now on.
          pump_->Sync();
          RefreshMenus();
        });
        break;
      }
    }
  }
  return menu;
}

void MainWindow::BuildMenus() {
  for (const MenuSpec& m : MainMenus()) {
    QMenu* menu = menuBar()->addMenu(Q(m.caption));
    submenus_[m.key] = menu;
    if (m.key == "File") file_menu_ = menu;
    BuildMenu(menu, m.items);
    connect(menu, &QMenu::aboutToShow, this, [this, &m] {
      // The table follows the years before any command can use it.
      RefreshPages();
      RefreshMenu(m.items);
    });
  }
}

void MainWindow::RefreshMenu(const std::vector<MenuItemSpec>& items) {
  for (const MenuItemSpec& item : items) {
    if (item.kind == MenuItemKind::kSeparator) continue;
    if (item.kind == MenuItemKind::kRecentFiles) {
      RefreshRecentFiles();
      continue;
    }
    const MenuEntryState s = commands_->ItemState(item);
    if (item.kind == MenuItemKind::kSubmenu) {
      QMenu* sub = submenus_[item.key];
      sub->setTitle(Q(s.caption));
      sub->menuAction()->setVisible(s.visible);
      sub->menuAction()->setEnabled(s.enabled);
      RefreshMenu(item.items);
      continue;
    }
    QAction* a = actions_[item.key];
    a->setText(Q(s.caption));
    a->setVisible(s.visible);
    a->setEnabled(s.enabled);
    a->setChecked(s.checked);
    a->setToolTip(Q(s.tooltip.empty() ? PlainCaption(s.caption) : s.tooltip));
  }
}

void MainWindow::RefreshMenus() {
  for (const MenuSpec& m : MainMenus()) {
    RefreshMenu(m.items);
    // The menu of Rational Expectations comes and goes as a whole.
    if (m.key == "Rational Expectations") {
      const Options& o = app_.session().settings.options;
      submenus_[m.key]->menuAction()->setVisible(app_.session().settings.re_available && !o.HideRe);
    }
  }
}

void MainWindow::RefreshRecentFiles() {
  const auto& files = commands_->RecentFiles();
  for (std::size_t i = 0; i < recent_actions_.size(); ++i) {
    QAction* a = recent_actions_[i];
    const bool shown = i < files.size() && !files[i].empty();
    a->setText(shown ? QString("&%1 %2").arg(i + 1).arg(Q(files[i]).replace("&", "&&")) : "");
    a->setVisible(shown);
    a->setEnabled(!commands_->JobRunning());
  }
}

QAction* MainWindow::ActionFor(const std::string& key) const {
  auto it = actions_.find(key);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::BuildJobPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName("jobPanel");
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 4, 0, 0);
  const std::pair<TaskKind, const char*> buttons[] = {{TaskKind::kRunBase, "Run &Base"},
                                                      {TaskKind::kRerunBase, "&Rerun Base"},
                                                      {TaskKind::kRunPolicy, "Run &Policy"},
                                                      {TaskKind::kRunAll, "Run &All"}};
  for (const auto& [task, caption] : buttons) {
    auto* b = new QPushButton(caption, panel);
    connect(b, &QPushButton::clicked, this, [this, task] {
      commands_->RunButton(task);
      pump_->Sync();
      RefreshMenus();
    });
    run_buttons_[task] = b;
    row->addWidget(b);
  }
  help_button_ = new QPushButton("&Help", panel);
  connect(help_button_, &QPushButton::clicked, this, [this] { ShowHelpTopic(kHelpJobPanel); });
  row->addWidget(help_button_);
  cancel_ = new QPushButton("&Cancel", panel);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    commands_->Cancel();
    pump_->Sync();
  });
  row->addWidget(cancel_);
  auto* lines = new QVBoxLayout;
  lines->setSpacing(0);
  for (QLabel*& label : job_labels_) {
    label = new QLabel(panel);
    label->setTextFormat(Qt::PlainText);
    lines->addWidget(label);
  }
  row->addLayout(lines, 1);
}

QPushButton* MainWindow::RunButton(TaskKind task) const {
  auto it = run_buttons_.find(task);
  return it == run_buttons_.end() ? nullptr : it->second;
}

void MainWindow::RefreshJobPanel() {
  const JobPanelView& v = panel_.view();
  const bool running = v.running || app_.TaskRunning();
  cancel_->setVisible(running);
  for (std::size_t i = 0; i < job_labels_.size(); ++i) {
    QLabel* label = job_labels_[i];
    label->setVisible(running);
    label->setText(Q(v.lines[i].text));
    label->setStyleSheet(QString("color: %1;").arg(RunColour(v.lines[i].run)));
  }
  for (auto& [task, button] : run_buttons_) button->setEnabled(!running);
  run_buttons_[TaskKind::kRerunBase]->setVisible(!app_.session().settings.options.NoRerun);
}

void MainWindow::OnRunningChanged(bool running) {
  // The setup the running task reads must not change under it.
  if (closure_view_) closure_view_->setEnabled(!running);
  if (overview_view_) overview_view_->setEnabled(!running);
  const Options& o = app_.session().settings.options;
  if (running && o.SuppressScreenSaver) {
    screen_saver_.Inhibit("A simulation task is running");
  } else if (!running) {
    screen_saver_.Release();
  }
  RefreshJobPanel();
}

void MainWindow::OnFinished(bool success) {
  QApplication::beep();
  if (success) {
    // The results of what just ran, ready to look at.
    if (auto last = app_.last_task()) results_page_->Preset(last->first, last->second);
    ShowPage(Page::kResults);
    results_view_->Refresh();
  }
  BringToFront();
  Q_EMIT TaskEnded(success);
}

void MainWindow::BringToFront() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::ShowHelpTopic(int topic) { help_->ShowTopic(topic); }

void MainWindow::ShowReadOnly(const std::string& path) {
  QFile file(Q(path));
  QString text;
  if (!file.open(QIODevice::ReadOnly)) {
    prompter_.Error("Cannot open file " + path);
    return;
  }
  if (file.size() > kLargestLogShown) file.seek(file.size() - kLargestLogShown);
  text = QString::fromUtf8(file.readAll());
  auto* view = new QPlainTextEdit;
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->setWindowTitle(Q(path));
  view->setReadOnly(true);
  view->setPlainText(text);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setFont(QFont("Monospace"));
  view->resize(900, 600);
  view->show();
}

void MainWindow::StartUpStageTwo() {
  if (!app_.FinishStartUp()) {
    closing_ = true;
    Q_EMIT StartUpFinished(false);
    close();
    return;
  }
  started_ = true;
  pump_->Start();
  RefreshPages();
  RefreshMenus();
  RefreshRecentFiles();
  Q_EMIT StartUpFinished(true);
}

void MainWindow::Tick() {
  app_.Poll();
  RefreshJobPanel();
  RefreshWaitWindow();
}

void MainWindow::RefreshWaitWindow() {
  const std::string text = app_.background().WaitText();
  if (text.empty()) {
    if (wait_) wait_->hide();
    return;
  }
  if (!wait_) {
    wait_ = new WaitWindow(this);
    connect(wait_, &WaitWindow::CancelClicked, this, [this] {
      app_.CancelBackground();
      RefreshWaitWindow();
    });
  }
  wait_->SetMessage(text);
  if (!wait_->isVisible()) {
    wait_->show();
  } else {
    wait_->Step();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_ && !commands_->MayClose()) {
    event->ignore();
    return;
  }
  pump_->Stop();
  screen_saver_.Release();
  if (started_) app_.CloseDown(commands_->update_options_at_exit());
  help_->close();
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // Never smaller than four fifths of the screen: the pages are laid out for that.
  if (QScreen* screen = this->screen(); screen && !isMinimized()) {
    const QSize least = screen->availableGeometry().size() * 4 / 5;
    if (minimumSize() != least) setMinimumSize(least);
  }
}

}  // namespace yl
