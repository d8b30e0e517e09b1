#pragma once
// Keeps the screen saver away while a task runs, through the desktop's
// org.freedesktop.ScreenSaver service; without a session bus it does nothing.

#include <QDBusConnection>
#include <QString>

namespace yl {

class ScreenSaverInhibitor {
 public:
  // The desktop's session bus unless another is given (tests).
  explicit ScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus()) : bus_(bus) {}
  ~ScreenSaverInhibitor() { Release(); }
  // True when the desktop accepted the inhibition.
  bool Inhibit(const QString& reason);
  void Release();
  bool active() const { return cookie_ != 0; }

 private:
  QDBusConnection bus_;
  unsigned cookie_ = 0;
};

}  // namespace yl
