#include "ui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace tempik::ui {
namespace {

const QByteArray activateMessage = QByteArrayLiteral("activate\n");
// How long a later launch keeps trying to reach an instance that is starting or ending.
constexpr int handOverMilliseconds = 3000;
constexpr int retryMilliseconds = 20;
constexpr int connectMilliseconds = 1000;

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
  const QDeadlineTimer deadline(handOverMilliseconds);
  while (true) {
    if (lock_.tryLock(0)) {
      listen();
      return Role::first;
    }
    // A folder that cannot hold a lock should not keep the show from starting.
    if (lock_.error() != QLockFile::LockFailedError) return Role::first;
    // The holder runs, or is just starting (not listening yet) or just ending (the lock
    // soon stale). Failing both until the deadline, it still runs: stay out of its way.
    if (askToActivate() || deadline.hasExpired()) return Role::handedOver;
    QThread::msleep(retryMilliseconds);
  }
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

bool SingleInstance::askToActivate() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(connectMilliseconds)) return false;
  socket.write(activateMessage);
  const bool sent = socket.waitForBytesWritten(connectMilliseconds);
  socket.disconnectFromServer();
  return sent;
}

}  // namespace tempik::ui
