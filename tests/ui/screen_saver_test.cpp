// The screen saver is inhibited over D-Bus while a task runs: a private bus daemon and a
// stand-in org.freedesktop.ScreenSaver service (this test program itself, in a second
// process) hear the calls.

#include "ui/screen_saver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

// The stand-in service: it notes every call in the file named by YL_SAVER_LOG.
class FakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
 public:
  Q_SCRIPTABLE uint Inhibit(const QString& application, const QString& reason) {
    Note("Inhibit " + application + ": " + reason);
    return 42;
  }
  Q_SCRIPTABLE void UnInhibit(uint cookie) {
    Note("UnInhibit " + QString::number(cookie));
    QCoreApplication::exit(0);
  }

 private:
  static void Note(const QString& line) {
    QFile log(qEnvironmentVariable("YL_SAVER_LOG"));
    if (log.open(QIODevice::Append)) log.write((line + "\n").toUtf8());
  }
};

// Run only as the second process of the test below.
TEST(ScreenSaverService, DISABLED_Serve) {
  QDBusConnection bus =
      QDBusConnection::connectToBus(qEnvironmentVariable("YL_SAVER_BUS"), "serve");
  ASSERT_TRUE(bus.isConnected());
  FakeScreenSaver saver;
  ASSERT_TRUE(bus.registerObject("/org/freedesktop/ScreenSaver", &saver,
                                 QDBusConnection::ExportScriptableSlots));
  ASSERT_TRUE(bus.registerService("org.freedesktop.ScreenSaver"));
  QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
}

class ScreenSaverTest : public IsolatedEnvTest {};

TEST_F(ScreenSaverTest, ARunningTaskInhibitsItAndItsEndReleasesIt) {
  const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
  if (daemon.isEmpty()) GTEST_SKIP() << "no dbus-daemon here";
  QProcess bus_daemon;
  bus_daemon.start(daemon, {"--session", "--nofork", "--print-address=1"});
  ASSERT_TRUE(bus_daemon.waitForReadyRead(10000));
  const QString address = QString::fromUtf8(bus_daemon.readLine()).trimmed();
  ASSERT_FALSE(address.isEmpty());

  const QString log = QString::fromStdString(scratch / "saver.log");
  QProcess service;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("YL_SAVER_BUS", address);
  env.insert("YL_SAVER_LOG", log);
  service.setProcessEnvironment(env);
  service.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=ScreenSaverService.*"});
  QDBusConnection bus = QDBusConnection::connectToBus(address, "client");
  ASSERT_TRUE(bus.isConnected());
  QElapsedTimer waited;
  waited.start();
  while (!bus.interface()->isServiceRegistered("org.freedesktop.ScreenSaver") &&
         waited.elapsed() < 10000) {
    QTest::qWait(20);
  }
  {
    ScreenSaverInhibitor inhibitor(bus);
    EXPECT_TRUE(inhibitor.Inhibit("A simulation task is running"));
    EXPECT_TRUE(inhibitor.active());
  }  // released when it goes
  EXPECT_TRUE(service.waitForFinished(10000));
  EXPECT_EQ(service.exitCode(), 0) << service.readAll().toStdString();
  QFile notes(log);
  ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
  EXPECT_EQ(notes.readAll().toStdString(),
            "Inhibit Yearloom: A simulation task is running\nUnInhibit 42\n");
  QDBusConnection::disconnectFromBus("client");
  bus_daemon.kill();
  bus_daemon.waitForFinished();

  // Without a bus it does nothing and says so.
  ScreenSaverInhibitor nowhere(
      QDBusConnection::connectToBus(QString("unix:path=/nonexistent"), "none"));
  EXPECT_FALSE(nowhere.Inhibit("x"));
  EXPECT_FALSE(nowhere.active());
}

}  // namespace
}  // namespace yl::testing

#include "screen_saver_test.moc"
