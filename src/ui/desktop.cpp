#include "ui/desktop.h"

#include <QApplication>
#include <QMessageBox>

#include "app/window/help_pages.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/single_instance.h"

namespace yl {

Desktop::Desktop(const DesktopSetup& setup) : setup_(setup) {
  if (setup_.prompter) {
    prompter_ = setup_.prompter;
  } else {
    // The help window belongs to the main window, which comes later.
    qt_prompter_ = std::make_unique<QtPrompter>(nullptr, [this](int topic) {
      if (window_) window_->ShowHelpTopic(topic);
    });
    prompter_ = qt_prompter_.get();
  }
  ControllerEnvironment env;
  env.program_dir = setup_.program_dir;
  env.runner = setup_.runner ? setup_.runner : &runner_;
  env.clock = setup_.clock ? setup_.clock : &clock_;
  env.prompter = prompter_;
  env.host = &panel_;
  env.processors = setup_.processors;
  env.show_log = [this](const std::string& path) { panel_.ShowLogReadOnly(path); };
  // The first-run question leads to the Zip menu's restore.
  env.restore_from_archive = [this] {
    if (window_) window_->commands().Run("Zip > Restore Ingredients from ZIP archive");
  };
  app_ = std::make_unique<AppController>(env);
}

Desktop::~Desktop() {
  window_.reset();
  server_.reset();
}

Desktop::Start Desktop::Open() {
  const StartUpReport& report = app_->StartUp();
  if (report.keep.found && !report.lock_taken) {
    if (report.lock_held_elsewhere && AskRunningCopyToRaise(InstanceSocketName(report.keep.dir))) {
      return Start::kOtherCopyRaised;
    }
    refusal_ = report.lock_held_elsewhere ? LockRefusal(report.keep.dir, report.lock_file)
                                          : report.lock_problem;
    return Start::kRefused;
  }
  MainWindowSetup ws;
  ws.help_dirs = HelpDirectories(setup_.program_dir);
  ws.run_start_up_stage_two = setup_.run_start_up_stage_two;
  window_ = std::make_unique<MainWindow>(*app_, *prompter_, panel_, ws);
  if (qt_prompter_) qt_prompter_->set_parent(window_.get());
  if (report.keep.found) {
    server_ = std::make_unique<InstanceServer>(InstanceSocketName(report.keep.dir),
                                               [this] { window_->BringToFront(); });
  }
  return Start::kWindow;
}

int RunDesktop(int& argc, char** argv, const std::string& program_dir, int processors) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(kDisplayName);
  QApplication::setApplicationDisplayName(kDisplayName);
  DesktopSetup setup;
  setup.program_dir = program_dir;
  setup.processors = processors;
  Desktop desktop(setup);
  switch (desktop.Open()) {
    case Desktop::Start::kOtherCopyRaised:
      return 0;
    case Desktop::Start::kRefused:
      QMessageBox::critical(nullptr, kDisplayName, QString::fromStdString(desktop.refusal()));
      return 1;
    case Desktop::Start::kWindow:
      break;
  }
  MainWindow& window = desktop.window();
  bool start_failed = false;
  QObject::connect(&window, &MainWindow::StartUpFinished, [&](bool ok) { start_failed = !ok; });
  window.showMaximized();
  const int status = qapp.exec();
  return start_failed ? 1 : status;
}

}  // namespace yl
