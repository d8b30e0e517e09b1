// The screen saver is inhibited over D-Bus while a task runs: a private bus daemon and a
// stand-in org.freedesktop.ScreenSaver service (this test program itself, in a second
// process) hear the calls.

#include "ui/screen_saver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

// The stand-in service: it notes every call in the file named by YL_SAVER_LOG.
class FakeScreenSaver : public QDBusVirtualObject {
 public:
  QString introspect(const QString& /*path*/) const override {
    return "<interface name=\"org.freedesktop.ScreenSaver\">"
           "<method name=\"Inhibit\"><arg type=\"s\" direction=\"in\"/>"
           "<arg type=\"s\" direction=\"in\"/><arg type=\"u\" direction=\"out\"/></method>"
           "<method name=\"UnInhibit\"><arg type=\"u\" direction=\"in\"/></method>"
           "</interface>";
  }
  bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
    const QList<QVariant> args = m.arguments();
    if (m.member() == "Inhibit" && args.size() == 2) {
      Note("Inhibit " + args[0].toString() + ": " + args[1].toString());
      return bus.send(m.createReply(QVariant::fromValue(42u)));
    }
    if (m.member() == "UnInhibit" && args.size() == 1) {
      Note("UnInhibit " + QString::number(args[0].toUInt()));
      bus.send(m.createReply());
      QCoreApplication::exit(0);
      return true;
    }
    return false;
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
  ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/ScreenSaver", &saver));
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
  EXPECT_TRUE(service.waitForFinished(10000)) << service.readAll().toStdString();
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
