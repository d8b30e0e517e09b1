#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QLocalSocket>

namespace yl {

namespace {
constexpr char kRaise[] = "raise\n";
}

QString InstanceSocketName(const std::string& keep_dir) {
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(keep_dir), QCryptographicHash::Sha1);
  return "yearloom-" + QString::fromLatin1(hash.toHex().left(16));
}

bool AskRunningCopyToRaise(const QString& name, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeout_ms)) return false;
  socket.write(kRaise);
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  // The answer says the window was raised; a copy that hangs is no copy to wait for.
  return socket.waitForReadyRead(timeout_ms) && socket.readAll().startsWith("ok");
}

InstanceServer::InstanceServer(QString name, std::function<void()> raise, QObject* parent)
    : QObject(parent), raise_(std::move(raise)) {
  // A socket file left by a copy that crashed would refuse the name.
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(name);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = server_.nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      connect(s, &QLocalSocket::readyRead, this, [this, s] {
        if (!s->readAll().startsWith("raise")) return;
        if (raise_) raise_();
        s->write("ok\n");
        s->flush();
      });
    }
  });
}

}  // namespace yl
