#include "ui/results_view.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* NamedButton(const char* caption, const char* name, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

ResultsView::ResultsView(ResultsPage& page, std::function<void(int topic)> show_help,
                         QWidget* parent)
    : QWidget(parent), page_(page) {
  auto* columns = new QHBoxLayout(this);

  // Results for all or several years.
  auto* all = new QGroupBox(" &Results for All/Several Years ", this);
  auto* al = new QVBoxLayout(all);
  auto* run_box = new QGroupBox(" Which &Run  ", all);
  auto* rl = new QVBoxLayout(run_box);
  auto* run_group = new QButtonGroup(this);
  for (int r = kBase; r <= kResultsDifferences; ++r) {
    runs_[r] = new QRadioButton(run_box);
    run_group->addButton(runs_[r], r);
    rl->addWidget(runs_[r]);
  }
  al->addWidget(run_box);
  auto* years_box = new QGroupBox(" Which Years ", all);
  auto* yl = new QHBoxLayout(years_box);
  all_years_ = new QRadioButton("&All", years_box);
  some_years_ = new QRadioButton("&Some", years_box);
  yl->addWidget(all_years_);
  yl->addWidget(some_years_);
  yl->addStretch();
  al->addWidget(years_box);
  auto* style_box = new QGroupBox(" Style ", all);
  auto* sl = new QHBoxLayout(style_box);
  yony_ = new QRadioButton("Year-o&n-year", style_box);
  cumulative_ = new QRadioButton("&Cumulative", style_box);
  sl->addWidget(yony_);
  sl->addWidget(cumulative_);
  sl->addStretch();
  al->addWidget(style_box);
  auto* all_buttons = new QGridLayout;
  auto* spreadsheet = NamedButton("&Spreadsheet", "spreadsheet", all);
  auto* graphs = NamedButton("&Graph/Tabulon", "graphs", all);
  auto* deepro = NamedButton("Dee&pro", "deepro", all);
  auto* accuracy = NamedButton("Accurac&y", "accuracy", all);
  accuracy_ = accuracy;
  accuracy->setEnabled(false);
  QPushButton* help = NamedButton("Help", "resultsHelp", all);
  all_buttons->addWidget(spreadsheet, 0, 0);
  all_buttons->addWidget(graphs, 0, 1);
  all_buttons->addWidget(deepro, 1, 0);
  all_buttons->addWidget(accuracy, 1, 1);
  all_buttons->addWidget(help, 2, 0);
  al->addLayout(all_buttons);
  al->addStretch();
  columns->addWidget(all, 2);

  // Results for individual years.
  auto* right = new QVBoxLayout;
  note_ = new QLabel(this);
  note_->setObjectName("resultsNote");
  note_->setStyleSheet("color: #c00000;");
  note_->setWordWrap(true);
  right->addWidget(note_);
  auto* one = new QGroupBox(" Results for Individual &Years ", this);
  auto* ol = new QGridLayout(one);
  auto* year_run_group = new QButtonGroup(this);
  auto* year_run_line = new QHBoxLayout;
  for (int r = kBase; r <= kPolicy; ++r) {
    year_runs_[r] = new QRadioButton(one);
    year_run_group->addButton(year_runs_[r], r);
    year_run_line->addWidget(year_runs_[r]);
  }
  year_run_line->addStretch();
  ol->addLayout(year_run_line, 0, 0, 1, 2);
  files_ = new QListWidget(one);
  files_->setObjectName("resultsFiles");
  years_ = new QListWidget(one);
  years_->setObjectName("resultsYears");
  ol->addWidget(files_, 1, 0);
  ol->addWidget(years_, 1, 1);
  file_label_ = new QLabel(one);
  file_label_->setTextFormat(Qt::PlainText);
  file_label_->setWordWrap(true);
  file_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  year_label_ = new QLabel(one);
  year_label_->setWordWrap(true);
  ol->addWidget(file_label_, 2, 0, 1, 2);
  ol->addWidget(year_label_, 3, 0, 1, 2);
  auto* one_buttons = new QHBoxLayout;
  auto* view = NamedButton("&View", "viewYearFile", one);
  year_deepro_ = NamedButton("&Deepro", "deeproYear", one);
  QPushButton* one_help = NamedButton("Help", "yearsHelp", one);
  one_buttons->addWidget(view);
  one_buttons->addWidget(year_deepro_);
  one_buttons->addStretch();
  one_buttons->addWidget(one_help);
  ol->addLayout(one_buttons, 4, 0, 1, 2);
  right->addWidget(one, 1);
  columns->addLayout(right, 3);

  auto changed = [this](auto&& action) {
    return [this, action](auto... args) {
      if (drawing_) return;
      action(args...);
      Refresh();
    };
  };
  connect(run_group, &QButtonGroup::idClicked, this,
          changed([this](int r) { page_.SelectRun(r); }));
  connect(all_years_, &QRadioButton::clicked, this,
          changed([this](bool) { page_.SelectAllYears(true); }));
  connect(some_years_, &QRadioButton::clicked, this,
          changed([this](bool) { page_.SelectAllYears(false); }));
  connect(yony_, &QRadioButton::clicked, this,
          changed([this](bool) { page_.SelectCumulative(false); }));
  connect(cumulative_, &QRadioButton::clicked, this,
          changed([this](bool) { page_.SelectCumulative(true); }));
  connect(year_run_group, &QButtonGroup::idClicked, this,
          changed([this](int r) { page_.SelectYearRun(r); }));
  connect(files_, &QListWidget::currentRowChanged, this,
          changed([this](int row) { page_.SelectFile(row); }));
  connect(years_, &QListWidget::currentRowChanged, this,
          changed([this](int row) { page_.SelectYear(row); }));
  connect(spreadsheet, &QPushButton::clicked, this, [this] { page_.Spreadsheet(); });
  connect(graphs, &QPushButton::clicked, this, [this] { page_.Graphs(); });
  connect(deepro, &QPushButton::clicked, this, [this] { page_.Deepro(); });
  connect(view, &QPushButton::clicked, this, [this] {
    page_.ViewYearFile();
    Refresh();
  });
  connect(files_, &QListWidget::itemDoubleClicked, this, [this] { page_.ViewYearFile(); });
  connect(year_deepro_, &QPushButton::clicked, this, [this] { page_.DeeproYear(); });
  for (QPushButton* h : {help, one_help}) {
    connect(h, &QPushButton::clicked, this, [show_help] {
      if (show_help) show_help(kHelpResultsPage);
    });
  }
  Refresh();
}

void ResultsView::Refresh() {
  const ResultsPageFields v = page_.View();
  drawing_ = true;
  for (int r = kBase; r <= kResultsDifferences; ++r) {
    runs_[r]->setText(Q(v.run_captions[r]));
    runs_[r]->setEnabled(v.run_enabled[r]);
  }
  runs_[v.run]->setChecked(true);
  (v.all_years ? all_years_ : some_years_)->setChecked(true);
  (v.cumulative ? cumulative_ : yony_)->setChecked(true);
  yony_->setEnabled(v.yony_enabled);
  cumulative_->setEnabled(v.cum_enabled);
  for (int r = kBase; r <= kPolicy; ++r) {
    year_runs_[r]->setText(Q(v.year_run_captions[r]));
    year_runs_[r]->setEnabled(v.year_run_enabled[r]);
  }
  year_runs_[v.year_run]->setChecked(true);
  files_->clear();
  for (const std::string& f : v.files) files_->addItem(Q(f));
  files_->setCurrentRow(v.file_row);
  years_->clear();
  for (const std::string& y : v.years) years_->addItem(Q(y));
  years_->setCurrentRow(v.year_row);
  year_deepro_->setEnabled(v.year_deepro_enabled);
  file_label_->setText(Q(v.file_label));
  year_label_->setText(Q(v.year_label));
  note_->setText(Q(v.note));
  note_->setVisible(!v.note.empty());
  drawing_ = false;
}

void ResultsView::SetAccuracySummaries(std::function<void()> open) {
  accuracy_->setEnabled(static_cast<bool>(open));
  connect(accuracy_, &QPushButton::clicked, this, [open] {
    if (open) open();
  });
}

}  // namespace yl
