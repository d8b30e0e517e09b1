#include "ui/results_to_save_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace yl {

ResultsToSaveDialog::ResultsToSaveDialog(const ResultsToSave& initial, int help_topic,
                                         std::function<void(int topic)> show_help, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(kResultsToSaveCaption);
  auto* layout = new QVBoxLayout(this);
  for (const ResultsToSaveGroup& g : ResultsToSaveGroups()) {
    auto* group = new QGroupBox(QString::fromStdString(g.caption), this);
    auto* inner = new QVBoxLayout(group);
    for (ResultsToSaveItem item : g.items) {
      auto* b = new QCheckBox(ResultsToSaveText(item), group);
      b->setChecked(initial[item]);
      inner->addWidget(b);
      boxes_[item] = b;
    }
    layout->addWidget(group);
  }
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  if (help_topic != 0) buttons->addButton(QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [show_help, help_topic] {
    if (show_help) show_help(help_topic);
  });
  layout->addWidget(buttons);
}

ResultsToSave ResultsToSaveDialog::Answer() const {
  ResultsToSave r{};
  for (int i = 0; i < kNumResultsToSave; ++i) r[i] = boxes_[i]->isChecked();
  return r;
}

AskResultsToSave QtAskResultsToSave(QWidget* parent, std::function<void(int topic)> show_help) {
  return [parent, show_help](const ResultsToSave& initial,
                             int help_topic) -> std::optional<ResultsToSave> {
    ResultsToSaveDialog d(initial, help_topic, show_help, parent);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.Answer();
  };
}

}  // namespace yl
