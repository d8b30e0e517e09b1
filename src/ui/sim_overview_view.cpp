#include "ui/sim_overview_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* MakeButton(const char* caption, QWidget* parent) {
  return new QPushButton(caption, parent);
}

QLabel* PathLabel(QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  l->setFrameShape(QFrame::StyledPanel);
  l->setMinimumWidth(420);
  return l;
}

}  // namespace

SimOverviewView::SimOverviewView(SimOverviewPage& page, std::function<bool()> use_patterns,
                                 QWidget* parent)
    : QWidget(parent), page_(page), use_patterns_(std::move(use_patterns)) {
  auto* columns = new QHBoxLayout(this);

  // Years and periods.
  auto* years = new QGroupBox("Years", this);
  auto* grid = new QGridLayout(years);
  first_year_ = new QLineEdit(years);
  first_year_->setInputMask("9999; ");
  first_year_->setMaximumWidth(90);
  starting_note_ = new QLabel(years);
  num_years_ = new QLineEdit(years);
  num_years_->setInputMask("999; ");
  num_years_->setMaximumWidth(90);
  ending_note_ = new QLabel(years);
  grid->addWidget(new QLabel("First Year of Base Sims (4 digits)", years), 0, 0);
  grid->addWidget(first_year_, 0, 1);
  grid->addWidget(starting_note_, 1, 0, 1, 2);
  grid->addWidget(new QLabel("Number of Years (1 or 2 digits)", years), 2, 0);
  grid->addWidget(num_years_, 2, 1);
  grid->addWidget(ending_note_, 3, 0, 1, 2);
  grid->addWidget(new QLabel("Lengths of Periods in years :", years), 4, 0, 1, 2);
  lengths_ = new QListWidget(years);
  grid->addWidget(lengths_, 5, 0);
  length_ = new QSpinBox(years);
  length_->setRange(1, 99);
  grid->addWidget(length_, 5, 1, Qt::AlignTop);
  auto* omit = MakeButton("Omit Some Periods at Start", years);
  omit->setObjectName("omitPeriods");
  grid->addWidget(omit, 6, 0, 1, 2);
  connect(omit, &QPushButton::clicked, this, [this] {
    page_.OmitPeriods();
    Changed();
  });
  columns->addWidget(years, 2);

  auto* right = new QVBoxLayout;
  auto* names = new QGroupBox("Simulation names", this);
  auto* nl = new QGridLayout(names);
  for (int run = kBase; run <= kPolicy; ++run) {
    name_captions_[run] = new QLabel(names);
    names_[run] = new QLineEdit(names);
    names_[run]->setInputMask(">nnn; ");
    names_[run]->setMaximumWidth(90);
    nl->addWidget(name_captions_[run], run - 1, 0);
    nl->addWidget(names_[run], run - 1, 1);
    connect(names_[run], &QLineEdit::editingFinished, this, [this, run] {
      if (drawing_) return;
      page_.EditName(run, names_[run]->text().toStdString(), use_patterns_());
      Changed();
    });
  }
  nl->setColumnStretch(2, 1);
  right->addWidget(names);

  auto* files = new QGroupBox("Files", this);
  auto* fl = new QGridLayout(files);
  working_dir_ = PathLabel(files);
  mapping_ = PathLabel(files);
  method_ = PathLabel(files);
  auto* change_dir = MakeButton("Change", files);
  select_map_ = MakeButton("Select", files);
  auto* select_map = select_map_;
  edit_map_ = MakeButton("Edit", files);
  auto* edit_map = edit_map_;
  auto* change_method = MakeButton("Change", files);
  change_method->setObjectName("changeMethod");
  fl->addWidget(new QLabel("Working Directory", files), 0, 0);
  fl->addWidget(working_dir_, 1, 0);
  fl->addWidget(change_dir, 1, 1);
  fl->addWidget(new QLabel("Mapping File for Results", files), 2, 0);
  fl->addWidget(mapping_, 3, 0);
  auto* map_buttons = new QHBoxLayout;
  map_buttons->addWidget(select_map);
  map_buttons->addWidget(edit_map);
  fl->addLayout(map_buttons, 3, 1);
  fl->addWidget(new QLabel("Solution Method", files), 4, 0);
  fl->addWidget(method_, 5, 0);
  fl->addWidget(change_method, 5, 1);
  right->addWidget(files);

  auto* details = new QHBoxLayout;
  auto* save = MakeButton("Save Sim Details", this);
  auto* load = MakeButton("Load Sim Details", this);
  auto* desc = MakeButton("Edit Sim Desc", this);
  for (QPushButton* b : {save, load, desc}) details->addWidget(b);
  details->addStretch();
  right->addLayout(details);

  re_ = new QGroupBox(" Rational Expectations ? ", this);
  auto* rl = new QGridLayout(re_);
  do_re_ = new QCheckBox("Do Rational Expectations ?", re_);
  rl->addWidget(do_re_, 0, 0, 1, 4);
  re_controls_ = new QWidget(re_);
  auto* cl = new QGridLayout(re_controls_);
  cl->setContentsMargins(0, 0, 0, 0);
  cl->addWidget(new QLabel("Iterations:", re_controls_), 0, 0);
  static constexpr const char* kRunWords[] = {"", "Base", "Rerun", "Policy"};
  for (int run = kBase; run <= kPolicy; ++run) {
    re_iterations_[run] = new QSpinBox(re_controls_);
    re_iterations_[run]->setRange(1, 99);
    re_iterations_[run]->setObjectName(QString("reIterations") + kRunWords[run]);
    cl->addWidget(new QLabel(kRunWords[run], re_controls_), 0, 2 * run - 1, Qt::AlignRight);
    cl->addWidget(re_iterations_[run], 0, 2 * run);
    connect(re_iterations_[run], &QSpinBox::valueChanged, this, [this, run](int n) {
      if (drawing_) return;
      page_.SetReIterations(run, n);
      Changed();
    });
  }
  auto* start_line = new QHBoxLayout;
  start_line->addWidget(new QLabel(kPolicyStartBefore, re_controls_));
  re_policy_start_ = new QSpinBox(re_controls_);
  re_policy_start_->setRange(0, 99);
  re_policy_start_->setObjectName("rePolicyStart");
  start_line->addWidget(re_policy_start_);
  re_policy_note_ = new QLabel(kPolicyStartAfter, re_controls_);
  re_policy_note_->setObjectName("rePolicyStartLabel");
  start_line->addWidget(re_policy_note_);
  start_line->addStretch();
  cl->addLayout(start_line, 1, 0, 1, 7);
  cl->setColumnStretch(7, 1);
  rl->addWidget(re_controls_, 1, 0, 1, 4);
  right->addWidget(re_);
  connect(do_re_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    page_.SetDoRationalExpectations(on);
    Changed();
  });
  connect(re_policy_start_, &QSpinBox::valueChanged, this, [this](int n) {
    if (drawing_) return;
    page_.SetRePolicyStart(n);
    Changed();
  });
  connect(change_method, &QPushButton::clicked, this, [this] {
    page_.ChangeSolutionMethod();
    Changed();
  });
  right->addStretch();
  columns->addLayout(right, 3);

  connect(first_year_, &QLineEdit::editingFinished, this, [this] {
    if (drawing_) return;
    page_.EditFirstYear(first_year_->text().toStdString());
    Changed();
  });
  connect(num_years_, &QLineEdit::editingFinished, this, [this] {
    if (drawing_) return;
    page_.EditNumYears(num_years_->text().toStdString());
    Changed();
  });
  connect(lengths_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (drawing_ || row < 0) return;
    const std::vector<int> values = page_.View().period_length_values;
    drawing_ = true;
    if (row < static_cast<int>(values.size())) length_->setValue(values[row]);
    drawing_ = false;
  });
  connect(length_, &QSpinBox::valueChanged, this, [this](int value) {
    if (drawing_ || lengths_->currentRow() < 0) return;
    page_.SetPeriodLength(lengths_->currentRow() + 1, value);
    Changed();
  });
  connect(change_dir, &QPushButton::clicked, this, [this] {
    page_.ChangeWorkingDirectory();
    Changed();
  });
  connect(select_map, &QPushButton::clicked, this, [this] {
    page_.ChooseMappingFile();
    Changed();
  });
  connect(edit_map, &QPushButton::clicked, this, [this] { page_.EditMappingFile(); });
  connect(save, &QPushButton::clicked, this, [this] { page_.SaveSimDetails(); });
  connect(load, &QPushButton::clicked, this, [this] {
    page_.LoadSimDetails();
    Changed();
  });
  connect(desc, &QPushButton::clicked, this, [this] { page_.EditSimDescription(); });
}

void SimOverviewView::Changed() { Refresh(); }

void SimOverviewView::Refresh() {
  const SimOverviewFields v = page_.View();
  drawing_ = true;
  first_year_->setText(Q(v.first_year));
  starting_note_->setText(Q(v.starting_data_note));
  num_years_->setText(Q(v.num_years));
  ending_note_->setText(Q(v.ending_note));
  const int row = lengths_->currentRow();
  lengths_->clear();
  for (const std::string& l : v.period_lengths) lengths_->addItem(Q(l));
  lengths_->setCurrentRow(row >= 0 && row < lengths_->count() ? row : 0);
  const int current = lengths_->currentRow();
  if (current >= 0 && current < static_cast<int>(v.period_length_values.size())) {
    length_->setValue(v.period_length_values[current]);
  }
  for (int run = kBase; run <= kPolicy; ++run) {
    name_captions_[run]->setText(Q(v.name_captions[run]));
    names_[run]->setText(Q(v.names[run]));
    name_captions_[run]->setVisible(run != kRerun || v.rerun_shown);
    names_[run]->setVisible(run != kRerun || v.rerun_shown);
  }
  working_dir_->setText(Q(v.working_dir));
  mapping_->setText(Q(v.mapping_file.empty() ? "???.MAP" : v.mapping_file));
  select_map_->setText(Q(v.mapping_button));
  edit_map_->setEnabled(v.mapping_edit_enabled);
  method_->setText(Q(v.solution_method));
  re_->setVisible(v.re_visible);
  do_re_->setChecked(v.do_re);
  re_controls_->setVisible(v.do_re);
  for (int run = kBase; run <= kPolicy; ++run) {
    re_iterations_[run]->setValue(v.re_iterations[static_cast<std::size_t>(run)]);
  }
  re_iterations_[kRerun]->setEnabled(v.re_rerun_enabled);
  re_policy_start_->setValue(v.re_policy_start);
  re_policy_note_->setText(
      Q(v.re_policy_start_note.empty() ? std::string(kPolicyStartAfter) : v.re_policy_start_note));
  drawing_ = false;
}

}  // namespace yl
