#include "ui/results_viewer.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/viewer/series_sources.h"
#include "platform/paths.h"
#include "ui/viewer_chart_page.h"
#include "ui/viewer_slice_bar.h"
#include "ui/viewer_table_model.h"

namespace yl {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kTitle = "Yearloom Results Viewer";
// Sizing every column to its contents reads every cell; beyond this many, fixed widths.
constexpr int kMaxColumnsSizedToContents = 200;

enum HeaderColumn { kName, kType, kDims, kSize, kDescription, kHeaderColumns };

}  // namespace

ResultsViewer::ResultsViewer(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(kTitle);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  auto* bar = new QHBoxLayout();
  auto* file_label = new QLabel("&File:", central);
  file_box_ = new QComboBox(central);
  file_box_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  file_label->setBuddy(file_box_);
  auto* open = new QPushButton("&Open...", central);
  bar->addWidget(file_label);
  bar->addWidget(file_box_);
  bar->addWidget(open);
  bar->addStretch(1);
  layout->addLayout(bar);

  error_ = new QLabel(central);
  error_->setWordWrap(true);
  error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  error_->setStyleSheet("QLabel { color: #b00020; }");
  error_->hide();
  layout->addWidget(error_);

  auto* split = new QSplitter(Qt::Horizontal, central);
  headers_ = new QTreeWidget(split);
  headers_->setColumnCount(kHeaderColumns);
  headers_->setHeaderLabels({"Header", "Type", "Dimensions", "Size", "Description"});
  headers_->setRootIsDecorated(false);
  headers_->setUniformRowHeights(true);
  headers_->setAlternatingRowColors(true);

  tabs_ = new QTabWidget(split);
  auto* table_page = new QWidget(tabs_);
  auto* table_layout = new QVBoxLayout(table_page);
  caption_ = new QLabel(table_page);
  caption_->setWordWrap(true);
  slice_bar_ = new ViewerSliceBar(table_page);
  table_error_ = new QLabel(table_page);
  table_error_->setWordWrap(true);
  table_error_->setStyleSheet("QLabel { color: #b00020; }");
  table_error_->hide();
  table_view_ = new QTableView(table_page);
  model_ = new ViewerTableModel(table_view_);
  table_view_->setModel(model_);
  table_view_->setAlternatingRowColors(true);
  table_view_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_layout->addWidget(caption_);
  table_layout->addWidget(slice_bar_);
  table_layout->addWidget(table_error_);
  table_layout->addWidget(table_view_, 1);
  tabs_->addTab(table_page, "&Table");
  chart_page_ = new ViewerChartPage(tabs_);
  tabs_->addTab(chart_page_, "C&hart");

  split->addWidget(headers_);
  split->addWidget(tabs_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  layout->addWidget(split, 1);
  setCentralWidget(central);
  resize(1200, 760);

  connect(file_box_, &QComboBox::activated, this, &ResultsViewer::ShowFile);
  connect(open, &QPushButton::clicked, this, &ResultsViewer::OpenChosen);
  connect(headers_, &QTreeWidget::itemSelectionChanged, this, &ResultsViewer::EntrySelected);
  connect(slice_bar_, &ViewerSliceBar::SliceChanged, this, &ResultsViewer::RefreshTable);
}

void ResultsViewer::OpenFiles(const std::vector<std::string>& files) {
  const int first_new = file_count();
  for (const std::string& path : files) {
    OpenedFile f;
    f.path = path;
    auto doc = ViewerDocument::Open(path);
    if (doc) {
      f.doc = std::move(*doc);
    } else {
      f.error = doc.error();
    }
    files_.push_back(std::move(f));
    file_box_->addItem(Qs(FileNameOf(path)));
    file_box_->setItemData(file_box_->count() - 1, Qs(path), Qt::ToolTipRole);
  }
  UpdateChartSources();
  // The first new file that opened; the others' problems show when they are chosen.
  for (int i = first_new; i < file_count(); ++i) {
    if (files_[i].doc) {
      ShowFile(i);
      return;
    }
  }
  if (first_new < file_count()) ShowFile(first_new);
}

void ResultsViewer::SetSeriesSources(const SeriesSources& sources) {
  given_sources_ = sources;
  UpdateChartSources();
}

std::string ResultsViewer::FileError(int index) const {
  if (index < 0 || index >= file_count()) return "";
  return files_[index].error;
}

ResultsViewer::OpenedFile* ResultsViewer::current() {
  return current_ >= 0 && current_ < file_count() ? &files_[current_] : nullptr;
}

void ResultsViewer::UpdateChartSources() {
  SeriesSources sources;
  if (given_sources_) {
    sources = *given_sources_;
  } else {
    for (const OpenedFile& f : files_) {
      if (!f.doc || f.doc->kind() != ViewerFileKind::kResultsTable) continue;
      sources = FindSeriesSources(f.path);
      if (!sources.Empty()) break;
    }
  }
  if (sources == chart_page_->sources() && chart_page_->HasData()) return;
  chart_page_->SetSources(sources);
}

void ResultsViewer::ShowFile(int index) {
  if (index < 0 || index >= file_count()) return;
  current_ = index;
  entry_ = -1;
  file_box_->setCurrentIndex(index);
  OpenedFile& f = files_[index];
  setWindowTitle(Qs(FileNameOf(f.path)) + " - " + kTitle);
  statusBar()->showMessage(Qs(f.path));
  error_->setText(Qs(f.error));
  error_->setVisible(!f.error.empty());
  model_->SetTable(std::nullopt);
  caption_->clear();
  table_error_->hide();
  slice_bar_->SetEntry({}, {});

  headers_->clear();
  if (!f.doc) return;
  QList<QTreeWidgetItem*> items;
  for (const ViewerEntry& e : f.doc->entries()) {
    auto* item = new QTreeWidgetItem();
    item->setText(kName, Qs(e.name));
    item->setText(kType, Qs(e.type));
    item->setText(kDims, Qs(e.DimsText()));
    item->setText(kSize, Qs(e.SizesText()));
    item->setText(kDescription, Qs(e.description));
    item->setToolTip(kDescription, Qs(e.description));
    items << item;
  }
  headers_->addTopLevelItems(items);
  for (int c = 0; c < kDescription; ++c) headers_->resizeColumnToContents(c);
  if (!items.isEmpty()) ShowEntry(0);
}

void ResultsViewer::ShowEntry(int index) {
  OpenedFile* f = current();
  if (!f || !f->doc || index < 0 || index >= static_cast<int>(f->doc->entries().size())) return;
  if (QTreeWidgetItem* item = headers_->topLevelItem(index); item && !item->isSelected()) {
    headers_->setCurrentItem(item);  // comes back here through the selection
    return;
  }
  entry_ = index;
  const ViewerEntry& e = f->doc->entries()[index];
  QString caption =
      "<b>" + Qs(e.name).toHtmlEscaped() + "</b>&nbsp;&nbsp;" + Qs(e.description).toHtmlEscaped();
  // A results table says what its numbers are; without that a column of them is ambiguous.
  if (const ResultsCsv* results = f->doc->results()) {
    QString what = Qs(results->kind) + " results";
    for (const auto& [key, value] : results->info) {
      if (key == "Values") what += ": " + Qs(value);
    }
    caption += "<br><span style='color:#555'>" + what.toHtmlEscaped() + "</span>";
  }
  caption_->setText(caption);
  slice_bar_->SetEntry(e, DefaultSlice(e));
  RefreshTable();
  // A results variable is charted as well: its first component.
  if (f->doc->kind() == ViewerFileKind::kResultsTable && chart_page_->HasData() &&
      e.name != "(all)") {
    const std::string element = e.dims.size() > 1 ? e.dims[0].Label(0) : "";
    chart_page_->ShowComponent(e.name, element);
  }
}

void ResultsViewer::EntrySelected() {
  const QList<QTreeWidgetItem*> selected = headers_->selectedItems();
  if (selected.isEmpty()) return;
  const int index = headers_->indexOfTopLevelItem(selected.front());
  if (index != entry_) ShowEntry(index);
}

void ResultsViewer::RefreshTable() {
  OpenedFile* f = current();
  if (!f || !f->doc || entry_ < 0) return;
  auto table = f->doc->Table(static_cast<std::size_t>(entry_), slice_bar_->slice());
  table_error_->setVisible(!table);
  if (!table) {
    table_error_->setText(Qs(table.error()));
    model_->SetTable(std::nullopt);
    return;
  }
  const bool size_to_contents = table->columns() <= kMaxColumnsSizedToContents;
  model_->SetTable(std::move(*table));
  if (size_to_contents) table_view_->resizeColumnsToContents();
}

void ResultsViewer::OpenChosen() {
  const QStringList chosen = QFileDialog::getOpenFileNames(
      this, "Open Results", QString(),
      "Results and data (*.har *.sl4 *.sol *.rsl *.slc *.udc *.csv);;All files (*)");
  std::vector<std::string> files;
  for (const QString& f : chosen) files.push_back(f.toStdString());
  if (!files.empty()) OpenFiles(files);
}

ResultsViewer* OpenInResultsViewer(QWidget* parent, const std::vector<std::string>& files,
                                   const SeriesSources& series) {
  auto* viewer = new ResultsViewer(parent);
  viewer->setWindowFlag(Qt::Window);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  if (!series.Empty()) viewer->SetSeriesSources(series);
  viewer->OpenFiles(files);
  viewer->show();
  return viewer;
}

int RunResultsViewer(int& argc, char** argv, const std::vector<std::string>& files,
                     const SeriesSources& series) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kTitle);
  QApplication::setApplicationDisplayName(kTitle);
  ResultsViewer viewer;
  if (!series.Empty()) viewer.SetSeriesSources(series);
  viewer.OpenFiles(files);
  viewer.show();
  return app.exec();
}

}  // namespace yl
