#include "ui/ColorSchemePortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <utility>

namespace tempik::ui {
namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

// Only a bus that is already there: with none, D-Bus would try to launch one.
bool sessionBusAnnounced() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

}  // namespace

ColorSchemePortal::ColorSchemePortal(Listener listener, QObject* parent)
    : QObject(parent), listener_(std::move(listener)) {
  if (!sessionBusAnnounced()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  // The slot takes the whole message: Qt 6.4 refuses one with a QDBusVariant parameter.
  bus.connect(service, path, settings, QStringLiteral("SettingChanged"), this,
              SLOT(settingChanged(QDBusMessage)));

  // Read is the call every portal version answers; the reply arrives later, on the loop.
  QDBusMessage read =
      QDBusMessage::createMethodCall(service, path, settings, QStringLiteral("Read"));
  read << appearance << colorScheme;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusVariant> reply = *finished;
            // A change that came first is newer than this answer.
            if (reply.isError() || changed_) return;
            tell(reply.argumentAt(0));
          });
}

void ColorSchemePortal::settingChanged(const QDBusMessage& message) {
  const QVariantList arguments = message.arguments();
  if (arguments.size() != 3 || arguments[0].toString() != appearance ||
      arguments[1].toString() != colorScheme) {
    return;
  }
  changed_ = true;
  tell(arguments[2]);
}

ColorScheme colorSchemeFromPortalValue(const QVariant& value) {
  // Read wraps the value in one more variant than the signal does.
  QVariant inner = value;
  while (inner.metaType() == QMetaType::fromType<QDBusVariant>()) {
    inner = inner.value<QDBusVariant>().variant();
  }
  bool isNumber = false;
  const std::uint32_t number = inner.toUInt(&isNumber);
  return colorSchemeFromPortal(isNumber ? number : 0);
}

void ColorSchemePortal::tell(const QVariant& value) {
  if (listener_) listener_(colorSchemeFromPortalValue(value));
}

}  // namespace tempik::ui
