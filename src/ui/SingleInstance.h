#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tempik::ui {

/// Keeps tempik to one instance per user. The first instance holds a lock file and listens
/// on a local socket, both in the user's runtime folder; a later launch finds the lock
/// taken, asks the running instance to come to the front, and should then exit at once,
/// before it builds anything that talks to the console.
///
/// A lock left by a crashed run is taken over (its process is gone), and a socket file it
/// left is removed before listening. Main thread only.
class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  enum class Role {
    /// The only instance: it runs, and hears later launches.
    first,
    /// Another instance runs and was asked to come to the front: exit now.
    handedOver,
  };

  /// Uses `folder` for the lock file and the socket.
  explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
  ~SingleInstance() override;

  /// The user's runtime folder ($XDG_RUNTIME_DIR).
  [[nodiscard]] static QString standardFolder();

  /// Takes the lock, or hands over to the instance that holds it (asking it to come to
  /// the front). When the folder cannot hold a lock, this instance runs on its own rather
  /// than not at all.
  [[nodiscard]] Role claim();

 signals:
  /// A later launch asked this instance to come to the front.
  void activationRequested();

 private:
  void listen();
  [[nodiscard]] bool askToActivate() const;

  QString socketPath_;
  QLockFile lock_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace tempik::ui
