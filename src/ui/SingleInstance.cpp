#include "ui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace tempik::ui {
namespace {

const QByteArray activateMessage = QByteArrayLiteral("activate\n");
// How long a later launch keeps trying to reach an instance that is just starting.
constexpr int handOverMilliseconds = 3000;
constexpr int retryMilliseconds = 20;

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent),
      socketPath_(folder + QStringLiteral("/tempik.socket")),
      lock_(folder + QStringLiteral("/tempik.lock")) {
  // Never stale by age, however long the show runs; a crashed holder is found by its
  // process id instead.
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::standardFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::Role SingleInstance::claim() {
  if (lock_.tryLock(0)) {
    listen();
    return Role::first;
  }
  // A folder that cannot hold the lock should not keep the show from starting.
  if (lock_.error() != QLockFile::LockFailedError) return Role::first;
  // The holder runs: even if it cannot be reached, a second connection must not start.
  askToActivate();
  return Role::handedOver;
}

void SingleInstance::listen() {
  // We hold the lock, so a socket file here is a crashed run's.
  QLocalServer::removeServer(socketPath_);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(socketPath_)) return;
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* launch = server_->nextPendingConnection()) {
      connect(launch, &QLocalSocket::disconnected, launch, &QObject::deleteLater);
      connect(launch, &QLocalSocket::readyRead, this, [this, launch] {
        while (launch->canReadLine()) {
          if (launch->readLine() == activateMessage) emit activationRequested();
        }
      });
    }
  });
}

void SingleInstance::askToActivate() const {
  // The holder may be starting: it listens just after taking the lock.
  const QDeadlineTimer deadline(handOverMilliseconds);
  QLocalSocket socket;
  while (true) {
    socket.connectToServer(socketPath_);
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
    if (deadline.hasExpired()) return;
    QThread::msleep(retryMilliseconds);
  }
  socket.write(activateMessage);
  socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
  socket.disconnectFromServer();
}

}  // namespace tempik::ui
