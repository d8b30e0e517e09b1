#include "ui/screen_saver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace yl {

namespace {
constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
}  // namespace

bool ScreenSaverInhibitor::Inhibit(const QString& reason) {
  if (cookie_ != 0) return true;
  if (!bus_.isConnected()) return false;
  QDBusInterface saver(kService, kPath, kService, bus_);
  if (!saver.isValid()) return false;
  QDBusReply<uint> reply = saver.call("Inhibit", QString("Yearloom"), reason);
  if (!reply.isValid()) return false;
  cookie_ = reply.value();
  return cookie_ != 0;
}

void ScreenSaverInhibitor::Release() {
  if (cookie_ == 0) return;
  QDBusInterface saver(kService, kPath, kService, bus_);
  if (saver.isValid()) saver.call("UnInhibit", cookie_);
  cookie_ = 0;
}

}  // namespace yl
