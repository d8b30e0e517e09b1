#include "ui/acc_detail_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QVBoxLayout>

#include "ui/accuracy_faces.h"

namespace yl {

namespace {

constexpr int kBarHeight = 22;
constexpr int kLabelWidth = 70;
constexpr int kCountWidth = 70;
constexpr int kStripGrowth = 55;  // the faces strip, shown while the mouse is held

QColor BarColour(int figures) {
  static const QColor colours[] = {
      QColor(128, 0, 0),   Qt::red,  Qt::yellow,       QColor(0, 128, 0),
      QColor(0, 255, 255), Qt::blue, QColor(0, 0, 128)};
  return colours[figures];
}

}  // namespace

class AccBarsWidget : public QWidget {
 public:
  explicit AccBarsWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(kLabelWidth + kAccLongestBar + kCountWidth, (kMaxAccFigures + 1) * kBarHeight + 6);
  }
  void Set(const PlacesSummary& s) {
    bars_ = AccBars(s);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (const AccBar& b : bars_) {
      const int y = 3 + b.figures * kBarHeight;
      p.setPen(palette().color(QPalette::WindowText));
      p.drawText(QRect(0, y, kLabelWidth - 8, kBarHeight), Qt::AlignRight | Qt::AlignVCenter,
                 QString("%1 fig.").arg(b.figures));
      p.fillRect(QRect(kLabelWidth, y + 3, b.length, kBarHeight - 6), BarColour(b.figures));
      p.setPen(QColor(90, 90, 90));
      p.drawRect(QRect(kLabelWidth, y + 3, b.length, kBarHeight - 6));
      p.setPen(palette().color(QPalette::WindowText));
      p.drawText(QRect(kLabelWidth + kAccLongestBar + 8, y, kCountWidth - 8, kBarHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, QString::number(b.count));
    }
  }

 private:
  std::array<AccBar, kMaxAccFigures + 1> bars_{};
};

AccDetailWindow::AccDetailWindow(const AccSummary& summary, const std::string& prefix,
                                 int help_topic, Prompter& prompter,
                                 std::function<void(int)> show_help, QWidget* parent)
    : QDialog(parent, Qt::Tool), model_(summary, prefix), prompter_(prompter) {
  setObjectName("accuracyDetail");
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  slots_ = new QComboBox(this);
  slots_->setObjectName("accuracySlots");
  slots_->setIconSize(QSize(36, 16));
  for (const AccSlotLine& line : model_.SlotLines()) {
    const QPixmap faces =
        FacePairPixmap(line.present[kAccVariables] ? line.rating[kAccVariables] : -1,
                       line.present[kAccData] ? line.rating[kAccData] : -1, 16);
    slots_->addItem(QIcon(faces), QString::fromStdString(AccSlotLineText(line)));
  }
  layout->addWidget(slots_);
  bars_ = new AccBarsWidget(this);
  layout->addWidget(bars_);

  auto* faces_row = new QHBoxLayout;
  hint_ = new QLabel(this);
  hint_->setObjectName("faceHint");
  hint_->setToolTip("Click and hold");
  hint_->installEventFilter(this);
  faces_row->addWidget(hint_);
  faces_row->addStretch();
  layout->addLayout(faces_row);
  strip_ = new QWidget(this);
  strip_->setFixedHeight(kStripGrowth);
  auto* strip_row = new QHBoxLayout(strip_);
  strip_row->setContentsMargins(0, 0, 0, 0);
  strip_row->addWidget(new QLabel("Least accurate", strip_));
  for (int r = 0; r <= kMaxAccRating; ++r) {
    auto* cell = new QVBoxLayout;
    auto* face = new QLabel(strip_);
    face->setPixmap(FacePixmap(r, 26));
    face->setAlignment(Qt::AlignCenter);
    auto* number = new QLabel(QString::number(r), strip_);
    number->setAlignment(Qt::AlignCenter);
    cell->addWidget(face);
    cell->addWidget(number);
    strip_row->addLayout(cell);
  }
  strip_row->addWidget(new QLabel("Most accurate", strip_));
  strip_->hide();
  layout->addWidget(strip_);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName("accuracyKinds");
  tabs_->addTab("Variables");
  tabs_->addTab("Data");
  tabs_->setShape(QTabBar::RoundedSouth);
  layout->addWidget(tabs_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  if (help_topic != 0) buttons->addButton(QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [show_help, help_topic] {
    if (show_help) show_help(help_topic);
  });
  layout->addWidget(buttons);

  connect(slots_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (drawing_ || index < 0) return;
    model_.ChooseSlot(index + 1);
    Refresh();
  });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (drawing_) return;
    model_.ShowKind(index == 1 ? kAccData : kAccVariables, prompter_);
    Refresh();
  });
  Refresh();
}

void AccDetailWindow::Refresh() {
  drawing_ = true;
  setWindowTitle(QString::fromStdString(model_.Title()));
  slots_->setCurrentIndex(model_.SlotLineIndex());
  tabs_->setCurrentIndex(model_.kind() == kAccData ? 1 : 0);
  bars_->Set(model_.Shown());
  hint_->setPixmap(FacePixmap(model_.Shown().rating, 28));
  drawing_ = false;
}

bool AccDetailWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == hint_ && event->type() == QEvent::MouseButtonPress) {
    strip_->show();
    return true;
  }
  if (watched == hint_ && event->type() == QEvent::MouseButtonRelease) {
    strip_->hide();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace yl
