#pragma once
// One window per keep directory: the first copy listens on a local socket, and a second
// copy asks it to raise its window instead of starting.

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <string>

namespace yl {

// The socket's name for this user and keep directory.
QString InstanceSocketName(const std::string& keep_dir);
// True when a running copy answered and was asked to raise its window.
bool AskRunningCopyToRaise(const QString& name, int timeout_ms = 2000);

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  InstanceServer(QString name, std::function<void()> raise, QObject* parent = nullptr);
  bool listening() const { return server_.isListening(); }

 private:
  QLocalServer server_;
  std::function<void()> raise_;
};

}  // namespace yl
