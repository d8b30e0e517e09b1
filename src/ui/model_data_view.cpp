#include "ui/model_data_view.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ModelDataView::ModelDataView(ModelDataPage& page, std::function<void()> model_changed,
                             QWidget* parent)
    : QWidget(parent), page_(page), model_changed_(std::move(model_changed)) {
  auto* layout = new QVBoxLayout(this);

  auto* model_box = new QGroupBox("Model", this);
  auto* ml = new QVBoxLayout(model_box);
  model_ = new QLabel(model_box);
  model_->setTextFormat(Qt::PlainText);
  model_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  model_->setWordWrap(true);
  ml->addWidget(model_);
  auto* model_buttons = new QHBoxLayout;
  auto* change = new QPushButton("Change &Model", model_box);
  change->setObjectName("changeModel");
  winconsole_ = new QCheckBox(model_box);
  auto* model_help = new QPushButton("&Help (Models) ", model_box);
  model_buttons->addWidget(change);
  model_buttons->addWidget(winconsole_);
  model_buttons->addStretch();
  model_buttons->addWidget(model_help);
  ml->addLayout(model_buttons);
  layout->addWidget(model_box);

  auto* data_box = new QGroupBox("Data", this);
  auto* dl = new QVBoxLayout(data_box);
  dl->addWidget(new QLabel("Input files for First Year of Base Case:", data_box));
  list_ = new QListWidget(data_box);
  list_->setObjectName("dataList");
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  dl->addWidget(list_, 1);
  auto* hint =
      new QLabel("Right click on a line for action; double click to choose its file.", data_box);
  dl->addWidget(hint);
  auto* data_buttons = new QHBoxLayout;
  save_ = new QPushButton("Save &As ...", data_box);
  auto* load = new QPushButton("&Load ...", data_box);
  auto* data_help = new QPushButton("Help (&Data) ", data_box);
  data_buttons->addWidget(save_);
  data_buttons->addWidget(load);
  data_buttons->addStretch();
  data_buttons->addWidget(data_help);
  dl->addLayout(data_buttons);
  layout->addWidget(data_box, 1);

  connect(change, &QPushButton::clicked, this, [this] {
    if (page_.ChangeModel() && model_changed_) model_changed_();
    Refresh();
  });
  connect(winconsole_, &QCheckBox::toggled, this, [this](bool on) {
    if (!drawing_) page_.SetNotWinconsole(on);
  });
  auto help = [this] { RunLineAction(DataLineAction::kHelp, 0); };
  connect(model_help, &QPushButton::clicked, this, help);
  connect(data_help, &QPushButton::clicked, this, help);
  connect(save_, &QPushButton::clicked, this, [this] {
    page_.SaveAs();
    Refresh();
  });
  connect(load, &QPushButton::clicked, this, [this] {
    page_.Load();
    Refresh();
  });
  connect(list_, &QListWidget::customContextMenuRequested, this, &ModelDataView::ShowLineMenu);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    RunLineAction(DataLineAction::kSelect, list_->row(item));
  });
  Refresh();
}

void ModelDataView::Refresh() {
  const ModelDataFields v = page_.View();
  drawing_ = true;
  model_->setText(Q(v.model_label));
  winconsole_->setText(Q(v.winconsole_caption));
  winconsole_->setChecked(v.winconsole_checked);
  winconsole_->setVisible(v.winconsole_visible);
  const int row = list_->currentRow();
  list_->clear();
  for (std::size_t i = 0; i < v.data_lines.size(); ++i) {
    auto* item = new QListWidgetItem(Q(v.data_lines[i]), list_);
    if (!v.descriptions[i].empty()) item->setToolTip(Q(v.descriptions[i]));
  }
  if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
  save_->setEnabled(v.save_enabled);
  drawing_ = false;
}

void ModelDataView::Entered() {
  page_.Entered();
  Refresh();
}

void ModelDataView::RunLineAction(DataLineAction action, int row) {
  page_.Run(action, row);
  Refresh();
}

void ModelDataView::ShowLineMenu(const QPoint& at) {
  const int row = list_->indexAt(at).row();
  if (row < 0) return;
  list_->setCurrentRow(row);
  QMenu menu(this);
  menu.setObjectName("dataLineMenu");
  for (const DataLineMenuEntry& e : page_.LineMenu(row)) {
    QAction* a = menu.addAction(Q(e.caption));
    a->setEnabled(e.enabled);
    connect(a, &QAction::triggered, this,
            [this, action = e.action, row] { RunLineAction(action, row); });
  }
  menu.exec(list_->viewport()->mapToGlobal(at));
}

}  // namespace yl
