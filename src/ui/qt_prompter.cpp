#include "ui/qt_prompter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/dialogs/change_directory.h"
#include "app/dialogs/file_list.h"
#include "platform/user_dirs.h"

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QString Title(const Message& m) {
  if (!m.caption.empty()) return Q(m.caption);
  switch (m.kind) {
    case MessageKind::kError:
      return "Error";
    case MessageKind::kWarning:
      return "Warning";
    case MessageKind::kConfirmation:
      return "Confirm";
    default:
      return "Information";
  }
}

QMessageBox::Icon IconOf(MessageKind k) {
  switch (k) {
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kConfirmation:
      return QMessageBox::Question;
    default:
      return QMessageBox::Information;
  }
}

struct ButtonMap {
  Button ours;
  QMessageBox::StandardButton qt;
};
constexpr ButtonMap kButtons[] = {
    {kYes, QMessageBox::Yes},       {kNo, QMessageBox::No},        {kOk, QMessageBox::Ok},
    {kCancel, QMessageBox::Cancel}, {kAbort, QMessageBox::Abort},  {kRetry, QMessageBox::Retry},
    {kIgnore, QMessageBox::Ignore}, {kAll, QMessageBox::YesToAll}, {kHelp, QMessageBox::Help},
};

// A dialog of a label, one content widget and OK/Cancel(/Help) buttons.
class FormDialog : public QDialog {
 public:
  FormDialog(QWidget* parent, const std::string& caption, const std::string& label, int help,
             const std::function<void(int)>& show_help, bool cancellable = true)
      : QDialog(parent) {
    setWindowTitle(Q(caption));
    layout_ = new QVBoxLayout(this);
    if (!label.empty()) {
      auto* l = new QLabel(ShownText(label), this);
      l->setWordWrap(true);
      layout_->addWidget(l);
    }
    QDialogButtonBox::StandardButtons flags = QDialogButtonBox::Ok;
    if (cancellable) flags |= QDialogButtonBox::Cancel;
    if (help != 0) flags |= QDialogButtonBox::Help;
    buttons_ = new QDialogButtonBox(flags, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_, &QDialogButtonBox::helpRequested, this, [show_help, help] {
      if (show_help) show_help(help);
    });
  }
  void AddContent(QWidget* w) { layout_->addWidget(w); }
  void AddContent(QLayout* l) { layout_->addLayout(l); }
  bool Run() {
    layout_->addWidget(buttons_);
    return exec() == QDialog::Accepted;
  }

 private:
  QVBoxLayout* layout_;
  QDialogButtonBox* buttons_;
};

}  // namespace

QString ShownText(const std::string& text) {
  QString s = Q(text);
  s.replace("\r\n", "\n");
  return s;
}

QString QtNameFilters(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i];
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    if (!desc.contains('('))
      desc += " (" + patterns + ")";
    else
      desc = desc.left(desc.indexOf('(')).trimmed() + " (" + patterns + ")";
    out << desc;
  }
  if (out.isEmpty()) out << "All files (*)";
  return out.join(";;");
}

QtPrompter::QtPrompter(QWidget* parent, std::function<void(int topic)> show_help)
    : parent_(parent), show_help_(std::move(show_help)) {}

Button QtPrompter::Show(const Message& m) {
  QMessageBox box(IconOf(m.kind), Title(m), ShownText(m.text), QMessageBox::NoButton, parent_);
  ButtonSet set = m.buttons == 0 ? kOk : m.buttons;
  if (m.help_topic != 0) set |= kHelp;
  for (const ButtonMap& b : kButtons) {
    if (set & b.ours) box.addButton(b.qt);
  }
  // Help opens its topic and leaves the question up.
  if (QAbstractButton* help = box.button(QMessageBox::Help)) {
    help->disconnect();
    QObject::connect(help, &QAbstractButton::clicked, [this, topic = m.help_topic] {
      if (show_help_) show_help_(topic);
    });
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const ButtonMap& b : kButtons) {
    if (clicked && box.standardButton(clicked) == b.qt) return b.ours;
  }
  // Closed by the window's close box or Escape: the gentlest answer offered.
  for (Button b : {kCancel, kNo, kOk}) {
    if (set & b) return b;
  }
  return kNoButton;
}

std::vector<std::string> QtPrompter::ChooseFiles(const FileRequest& r) {
  QFileDialog dialog(parent_, Q(r.title), Q(r.start_dir), QtNameFilters(r.filter));
  dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(r.save       ? QFileDialog::AnyFile
                     : r.multiple ? QFileDialog::ExistingFiles
                                  : QFileDialog::ExistingFile);
  if (!r.default_name.empty()) dialog.selectFile(Q(r.default_name));
  std::vector<std::string> out;
  if (dialog.exec() != QDialog::Accepted) return out;
  for (const QString& f : dialog.selectedFiles()) out.push_back(S(f));
  return out;
}

std::optional<std::string> QtPrompter::ChooseDirectory(const DirectoryRequest& r) {
  QDialog d(parent_);
  d.setWindowTitle(Q(r.caption.empty() ? std::string(kChangeDirectoryCaption) : r.caption));
  d.resize(560, 520);
  auto* layout = new QVBoxLayout(&d);
  auto* model = new QFileSystemModel(&d);
  model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model->setRootPath("/");
  auto* tree = new QTreeView(&d);
  tree->setObjectName("directoryTree");
  tree->setModel(model);
  tree->setRootIndex(model->index("/"));
  for (int c = 1; c < model->columnCount(); ++c) tree->hideColumn(c);
  tree->setHeaderHidden(true);
  layout->addWidget(tree, 1);
  QStringList hints;
  for (const char* h : kChangeDirectoryHints) hints << h;
  layout->addWidget(new QLabel(hints.join(' '), &d));
  auto* will = new QLabel(Q(r.label.empty() ? std::string(kChangeDirectoryDefaultLabel) : r.label) +
                              " " + kChangeDirectoryWillBeSet,
                          &d);
  will->setWordWrap(true);
  layout->addWidget(will);
  auto* chosen = new QLabel(&d);
  chosen->setObjectName("chosenDirectory");
  chosen->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = chosen->font();
  bold.setBold(true);
  chosen->setFont(bold);
  layout->addWidget(chosen);
  auto* buttons = new QDialogButtonBox(&d);
  buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  if (r.help_topic != 0) buttons->addButton(QDialogButtonBox::Help);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, &d, [this, topic = r.help_topic] {
    if (show_help_) show_help_(topic);
  });
  layout->addWidget(buttons);
  QString path = Q(DirectoryToSelect(r.start_dir, HomeDirectory()));
  if (path.isEmpty()) path = "/";
  auto select = [tree, model, chosen](const QString& dir) {
    const QModelIndex index = model->index(dir);
    tree->setCurrentIndex(index);
    tree->scrollTo(index);
    chosen->setText(dir);
  };
  select(path);
  QObject::connect(
      tree->selectionModel(), &QItemSelectionModel::currentChanged, &d,
      [model, chosen](const QModelIndex& index) { chosen->setText(model->filePath(index)); });
  if (d.exec() != QDialog::Accepted || chosen->text().isEmpty()) return std::nullopt;
  return S(chosen->text());
}

std::optional<std::string> QtPrompter::AskText(const TextRequest& r) {
  FormDialog d(parent_, r.caption, r.label, r.help_topic, show_help_, r.cancellable);
  auto* edit = new QLineEdit(Q(r.initial), &d);
  d.AddContent(edit);
  edit->setFocus();
  if (!d.Run() && r.cancellable) return std::nullopt;
  return S(edit->text());
}

std::optional<int> QtPrompter::AskInteger(const IntegerRequest& r) {
  FormDialog d(parent_, r.caption.empty() ? "Input integer" : r.caption, r.label, r.help_topic,
               show_help_);
  auto* spin = new QSpinBox(&d);
  spin->setRange(r.min, r.max);
  spin->setValue(r.initial);
  d.AddContent(spin);
  if (!d.Run()) return std::nullopt;
  return spin->value();
}

std::optional<std::vector<int>> QtPrompter::Choose(const ChoiceRequest& r) {
  const std::string caption = !r.caption.empty() ? r.caption
                              : r.multiple       ? "Please select ..."
                                                 : "Choose one ...";
  FormDialog d(parent_, caption, r.label, r.help_topic, show_help_);
  std::vector<int> chosen;
  if (r.multiple) {
    auto* list = new QListWidget(&d);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& o : r.options) list->addItem(Q(o));
    for (int i : r.initial) {
      if (i >= 0 && i < list->count()) list->item(i)->setSelected(true);
    }
    d.AddContent(list);
    if (!d.Run()) return std::nullopt;
    for (int i = 0; i < list->count(); ++i) {
      if (list->item(i)->isSelected()) chosen.push_back(i);
    }
    return chosen;
  }
  auto* group = new QButtonGroup(&d);
  for (std::size_t i = 0; i < r.options.size(); ++i) {
    auto* b = new QRadioButton(ShownText(r.options[i]), &d);
    group->addButton(b, static_cast<int>(i));
    d.AddContent(b);
  }
  if (!r.initial.empty() && group->button(r.initial.front())) {
    group->button(r.initial.front())->setChecked(true);
  }
  if (!d.Run()) return std::nullopt;
  if (group->checkedId() >= 0) chosen.push_back(group->checkedId());
  return chosen;
}

std::optional<std::vector<bool>> QtPrompter::CheckItems(const CheckListRequest& r) {
  FormDialog d(parent_, r.caption, r.label, r.help_topic, show_help_);
  std::vector<QCheckBox*> boxes;
  for (std::size_t i = 0; i < r.items.size(); ++i) {
    auto* b = new QCheckBox(ShownText(r.items[i]), &d);
    b->setChecked(i < r.checked.size() && r.checked[i]);
    d.AddContent(b);
    boxes.push_back(b);
  }
  if (!d.Run()) return std::nullopt;
  std::vector<bool> out;
  for (QCheckBox* b : boxes) out.push_back(b->isChecked());
  return out;
}

std::optional<std::vector<std::string>> QtPrompter::EditFileList(const FileListRequest& r) {
  FileListEditor editor(r);
  QDialog d(parent_);
  d.setWindowTitle(Q(r.caption));
  auto* layout = new QVBoxLayout(&d);
  if (!r.label.empty()) layout->addWidget(new QLabel(ShownText(r.label), &d));
  auto* list = new QListWidget(&d);
  list->setObjectName("fileList");
  list->setMinimumWidth(480);
  layout->addWidget(list, 1);
  auto refill = [list, &editor] {
    list->clear();
    for (const std::string& f : editor.files()) list->addItem(Q(f));
  };
  refill();
  auto* row = new QHBoxLayout;
  auto* add = new QPushButton("&Add", &d);
  auto* remove = new QPushButton("&Delete", &d);
  auto* finished = new QPushButton("&Finished", &d);
  auto* cancel = new QPushButton("&Cancel", &d);
  for (QPushButton* b : {add, remove, finished, cancel}) row->addWidget(b);
  if (r.help_topic != 0) {
    auto* help = new QPushButton("&Help", &d);
    row->addWidget(help);
    QObject::connect(help, &QPushButton::clicked, &d, [this, topic = r.help_topic] {
      if (show_help_) show_help_(topic);
    });
  }
  layout->addLayout(row);
  QObject::connect(add, &QPushButton::clicked, &d, [this, &editor, refill] {
    editor.Add(ChooseFiles(editor.AddRequest()));
    refill();
  });
  QObject::connect(remove, &QPushButton::clicked, &d, [this, list, &editor, refill] {
    const int selected =
        list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
    if (auto refusal = editor.Delete(selected)) {
      Information(*refusal);
      return;
    }
    refill();
  });
  QObject::connect(finished, &QPushButton::clicked, &d, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return editor.files();
}

Button QtPrompter::ShowTextWindow(const TextWindowRequest& r) {
  QDialog d(parent_);
  d.setWindowTitle(Q(r.caption));
  d.resize(640, 420);
  auto* layout = new QVBoxLayout(&d);
  auto* text = new QPlainTextEdit(&d);
  text->setObjectName("windowText");
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text->setPlainText(ShownText(r.text));
  layout->addWidget(text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  Button result = kOk;
  if (r.refresh) {
    QPushButton* refresh = buttons->addButton("&Refresh", QDialogButtonBox::ActionRole);
    QObject::connect(refresh, &QPushButton::clicked, &d, [&d, &result] {
      result = kRetry;
      d.done(QDialog::Rejected);
    });
  }
  if (r.help_topic != 0) buttons->addButton(QDialogButtonBox::Help);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, &d, [this, topic = r.help_topic] {
    if (show_help_) show_help_(topic);
  });
  layout->addWidget(buttons);
  d.exec();
  return result;
}

void QtPrompter::ShowProgress(const std::string& text) {
  if (!wait_) {
    wait_ = new QProgressDialog(parent_);
    wait_->setWindowTitle("Please wait");
    wait_->setRange(0, 0);  // busy: the checks do not know how far they are
    wait_->setMinimumDuration(0);
    wait_->setCancelButton(nullptr);
  }
  wait_->setLabelText(ShownText(text));
  wait_->show();
  // The check runs on this thread: paint the window before it starts.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompter::HideProgress() {
  if (!wait_) return;
  wait_->hide();
  if (cancel_offered_) {
    wait_->setCancelButton(nullptr);
    wait_->setWindowModality(Qt::NonModal);
    wait_->reset();  // forgets a Cancel pressed for the work that just ended
    cancel_offered_ = false;
  }
}

bool QtPrompter::ProgressCancelled() {
  if (!wait_) return false;
  if (!cancel_offered_) {
    // Only work that asks gets the button: the checks that never ask could not stop. The
    // window turns modal so that nothing else starts while the click is waited for; a
    // window's modality changes only while it is hidden.
    const bool visible = wait_->isVisible();
    wait_->hide();
    wait_->setWindowModality(Qt::ApplicationModal);
    wait_->setCancelButtonText("&Cancel");
    if (visible) wait_->show();
    cancel_offered_ = true;
  }
  QApplication::processEvents();
  return wait_->wasCanceled();
}

}  // namespace yl
