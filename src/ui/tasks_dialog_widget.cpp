#include "ui/tasks_dialog_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace yl {

TasksDialogWidget::TasksDialogWidget(const TasksDialogSetup& setup,
                                     std::function<void(int topic)> show_help, QWidget* parent)
    : QDialog(parent), model_(setup) {
  setWindowTitle(QString::fromStdString(setup.title));
  auto* layout = new QVBoxLayout(this);
  auto* years = new QGroupBox(" Which Years to Do ", this);
  auto* form = new QFormLayout(years);
  start_ = new QComboBox(years);
  end_ = new QComboBox(years);
  for (const std::string& y : setup.years) {
    start_->addItem(QString::fromStdString(y));
    end_->addItem(QString::fromStdString(y));
  }
  form->addRow("Start with Sim for year:", start_);
  form->addRow("End with Sim for year:", end_);
  ss_ = new QCheckBox("Do SS jobs for these years?", years);
  ss_->setVisible(setup.ss_shown);
  form->addRow(ss_);
  none_ = new QCheckBox(QString::fromStdString(setup.none_caption), years);
  none_->setVisible(setup.none_shown);
  form->addRow(none_);
  layout->addWidget(years);
  auto* runs = new QGroupBox("Base, Rerun, Policy ? ", this);
  auto* rl = new QVBoxLayout(runs);
  const char* captions[] = {"", "Do Base ?", "Rerun Base ?", "Do Policy ?"};
  for (int r = 1; r <= 3; ++r) {
    runs_[r] = new QCheckBox(captions[r], runs);
    runs_[r]->setEnabled(setup.runs_enabled[r]);
    rl->addWidget(runs_[r]);
    connect(runs_[r], &QCheckBox::toggled, this, [this, r](bool on) {
      if (drawing_) return;
      model_.SetRun(r, on);
      Refresh();
    });
  }
  deviations_ = new QCheckBox("Do deviation jobs ?", runs);
  rl->addWidget(deviations_);
  runs->setVisible(setup.runs_shown);
  deviations_->setVisible(setup.deviations_shown);
  layout->addWidget(runs);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  buttons->button(QDialogButtonBox::Ok)->setText("&OK");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  const int topic = setup.help_topic;
  connect(buttons, &QDialogButtonBox::helpRequested, this, [show_help, topic] {
    if (show_help) show_help(topic);
  });
  connect(start_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (drawing_) return;
    model_.SetStart(i);
    Refresh();
  });
  connect(end_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (drawing_) return;
    model_.SetEnd(i);
    Refresh();
  });
  connect(ss_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    model_.SetSs(on);
    Refresh();
  });
  connect(none_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    model_.SetNone(on);
    Refresh();
  });
  connect(deviations_, &QCheckBox::toggled, this, [this](bool on) {
    if (!drawing_) model_.SetDeviations(on);
  });
  Refresh();
}

void TasksDialogWidget::Refresh() {
  const TasksDialogView v = model_.View();
  drawing_ = true;
  start_->setCurrentIndex(v.start);
  end_->setCurrentIndex(v.end);
  start_->setEnabled(v.years_enabled);
  end_->setEnabled(v.years_enabled);
  ss_->setChecked(v.ss);
  ss_->setEnabled(v.ss_enabled);
  none_->setChecked(v.none);
  for (int r = 1; r <= 3; ++r) runs_[r]->setChecked(v.runs[static_cast<std::size_t>(r)]);
  deviations_->setChecked(v.deviations);
  drawing_ = false;
}

AskTasks QtAskTasks(QWidget* parent, std::function<void(int topic)> show_help) {
  return [parent, show_help](const TasksDialogSetup& setup) -> std::optional<TasksDialogAnswer> {
    TasksDialogWidget dialog(setup, show_help, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Answer();
  };
}

}  // namespace yl
