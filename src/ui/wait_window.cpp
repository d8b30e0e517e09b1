#include "ui/wait_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/controller.h"
#include "ui/qt_prompter.h"

namespace yl {

QPixmap WaitFrame(int n, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const int threads = 9;
  const double step = (width - 20.0) / (threads - 1);
  p.setPen(QPen(QColor("#b9a983"), 2));
  for (int i = 0; i < threads; ++i) {
    const double x = 10 + i * step;
    p.drawLine(QPointF(x, 6), QPointF(x, height - 6));
  }
  // The woven weft grows by one thread per picture; the shuttle rides on its end.
  const double y = height / 2.0;
  const double reach = 10 + (n + 1) * (width - 20.0) / kWaitFrames;
  QPen weft(QColor("#1f5fbf"), 5);
  weft.setCapStyle(Qt::RoundCap);
  p.setPen(weft);
  QPainterPath path;
  path.moveTo(10, y);
  for (double x = 10; x <= reach; x += step / 2) {
    path.lineTo(x, y + (static_cast<int>((x - 10) / (step / 2)) % 2 == 0 ? -3 : 3));
  }
  p.drawPath(path);
  p.setPen(QPen(QColor("#6b5a3e"), 1.5));
  p.setBrush(QColor("#d9a441"));
  QPainterPath shuttle;
  shuttle.moveTo(reach - 14, y);
  shuttle.quadTo(reach, y - 9, reach + 14, y);
  shuttle.quadTo(reach, y + 9, reach - 14, y);
  p.drawPath(shuttle);
  return pixmap;
}

WaitWindow::WaitWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("waitWindow");
  setWindowTitle(QString("Please Wait - %1 at work").arg(kDisplayName));
  setWindowModality(Qt::ApplicationModal);
  // Closing the box is no way to stop the work: the window comes back at the next tick.
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  auto* layout = new QVBoxLayout(this);
  frames_ = new QStackedWidget(this);
  for (int i = 0; i < kWaitFrames; ++i) {
    auto* picture = new QLabel(frames_);
    picture->setPixmap(WaitFrame(i, 260, 48));
    picture->setAlignment(Qt::AlignCenter);
    frames_->addWidget(picture);
  }
  layout->addWidget(frames_);
  message_ = new QLabel("Calculating solution", this);
  message_->setObjectName("waitMessage");
  layout->addWidget(message_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  hide_ = new QPushButton("&Hide", this);
  hide_->setObjectName("waitHide");
  hide_->hide();
  cancel_ = new QPushButton("&Cancel", this);
  cancel_->setObjectName("waitCancel");
  row->addWidget(hide_);
  row->addWidget(cancel_);
  layout->addLayout(row);
  connect(cancel_, &QPushButton::clicked, this, &WaitWindow::CancelClicked);
  connect(hide_, &QPushButton::clicked, this, [this] {
    // Hiding minimises the whole program, not just this window.
    if (QWidget* top = parentWidget() ? parentWidget()->window() : nullptr) top->showMinimized();
    showMinimized();
  });
}

void WaitWindow::SetMessage(const std::string& text) { message_->setText(ShownText(text)); }

void WaitWindow::SetCancellable(bool on) { cancel_->setEnabled(on); }

void WaitWindow::SetHideable(bool on) { hide_->setVisible(on); }

void WaitWindow::Step() { frames_->setCurrentIndex((frames_->currentIndex() + 1) % kWaitFrames); }

int WaitWindow::frame() const { return frames_->currentIndex(); }

}  // namespace yl
