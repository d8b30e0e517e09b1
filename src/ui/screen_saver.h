#pragma once
// Keeps the screen saver away while a task runs, through the desktop's
// org.freedesktop.ScreenSaver service; without a session bus it does nothing.

#include <QString>

namespace yl {

class ScreenSaverInhibitor {
 public:
  ~ScreenSaverInhibitor() { Release(); }
  // True when the desktop accepted the inhibition.
  bool Inhibit(const QString& reason);
  void Release();
  bool active() const { return cookie_ != 0; }

 private:
  unsigned cookie_ = 0;
};

}  // namespace yl
