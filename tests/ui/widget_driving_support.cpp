#include "widget_driving_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace yl::testing {

void WhenModal(std::function<void(QWidget*)> act) {
  WhenModalMatching([](QWidget*) { return true; }, std::move(act));
}

void WhenModalMatching(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, match, act] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !match(w)) return;
    timer->stop();
    timer->deleteLater();
    act(w);
  });
  timer->start();
}

void PickFromMenu(const QString& caption) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, caption] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    timer->stop();
    timer->deleteLater();
    for (QAction* a : menu->actions()) {
      if (a->text() == caption) {
        menu->close();
        a->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no menu item " << caption.toStdString();
    menu->close();
  });
  timer->start();
}

void Accept(QWidget* dialog) {
  dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

}  // namespace yl::testing
