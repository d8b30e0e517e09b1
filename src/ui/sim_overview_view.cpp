#include "ui/sim_overview_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/window/menu_model.h"

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* MakeButton(const char* caption, QWidget* parent, bool available = true) {
  auto* b = new QPushButton(caption, parent);
  if (!available) {
    b->setEnabled(false);
    b->setToolTip(kNotAvailableYet);
  }
  return b;
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
  grid->addWidget(MakeButton("Omit Some Periods at Start", years, false), 6, 0, 1, 2);
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
  auto* select_map = MakeButton("Select", files);
  auto* edit_map = MakeButton("Edit", files);
  auto* change_method = MakeButton("Change", files, false);
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

  auto* re = new QGroupBox(" Rational Expectations ? ", this);
  re->setEnabled(false);
  re->setToolTip(kNotAvailableYet);
  auto* rl = new QHBoxLayout(re);
  rl->addWidget(new QLabel("Iterations: Base 30, Rerun 1, Policy 20", re));
  right->addWidget(re);
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
  mapping_->setText(Q(v.mapping_file.empty() ? "(none)" : v.mapping_file));
  method_->setText(Q(v.solution_method));
  drawing_ = false;
}

}  // namespace yl
