#include "ui/omit_periods_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/qt_prompter.h"

namespace yl {

namespace {

constexpr int kHelpOmitPeriods = 7009;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

OmitPeriodsDialog::OmitPeriodsDialog(const OmitDialogTexts& texts, const TSimRecord& sim,
                                     std::function<void(int topic)> show_help, QWidget* parent)
    : QDialog(parent), sim_(sim) {
  setWindowTitle(Q(texts.Title));
  auto* layout = new QHBoxLayout(this);
  auto* years = new QListWidget(this);
  for (std::size_t k = 0; k < texts.PeriodYears.size(); ++k) {
    years->addItem(Q("Period " + std::to_string(k + 1) + ": " + texts.PeriodYears[k]));
  }
  years->setSelectionMode(QAbstractItemView::NoSelection);
  years->setFixedWidth(years->sizeHintForColumn(0) + 2 * years->frameWidth() + 24);
  layout->addWidget(years);

  auto* right = new QVBoxLayout;
  std::string explanation;
  for (const std::string& line : texts.Explanation) explanation += line + "\n";
  right->addWidget(new QLabel(Q(explanation), this));
  auto* count_line = new QHBoxLayout;
  count_line->addWidget(new QLabel(Q(texts.CountCaption), this));
  count_ = new QSpinBox(this);
  count_->setRange(1, std::max(1, texts.Max));
  count_->setValue(texts.Initial);
  count_line->addWidget(count_);
  count_line->addStretch();
  right->addLayout(count_line);
  replace_ = new QCheckBox("Change the First Year Data Files accordingly", this);
  right->addWidget(replace_);
  label_ = new QLabel(this);
  // Room for the longer, two-line text, so the dialog does not jump as the box is ticked.
  label_->setMinimumHeight(2 * label_->fontMetrics().lineSpacing() + 4);
  right->addWidget(label_);
  right->addStretch();
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  right->addWidget(buttons);
  layout->addLayout(right, 1);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [show_help] {
    if (show_help) show_help(kHelpOmitPeriods);
  });
  connect(count_, &QSpinBox::valueChanged, this, [this] { Refresh(); });
  connect(replace_, &QCheckBox::toggled, this, [this] { Refresh(); });
  Refresh();
}

OmitRequest OmitPeriodsDialog::Request() const {
  return OmitRequest{count_->value(), replace_->isChecked()};
}

void OmitPeriodsDialog::Refresh() {
  label_->setText(ShownText(OmitReplaceLabel(sim_, count_->value(), replace_->isChecked())));
}

AskOmitPeriods QtAskOmitPeriods(QWidget* parent, std::function<void(int topic)> show_help) {
  return [parent, show_help](const OmitDialogTexts& texts,
                             const TSimRecord& sim) -> std::optional<OmitRequest> {
    OmitPeriodsDialog dialog(texts, sim, show_help, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Request();
  };
}

}  // namespace yl
