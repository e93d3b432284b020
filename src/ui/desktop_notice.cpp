#include "ui/desktop_notice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace dd::ui {

namespace {

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

bool SendDesktopNotice(const QDBusConnection& bus, const DesktopNotice& notice) {
  if (!bus.isConnected() || !bus.interface()) return false;
  if (!bus.interface()->isServiceRegistered(kNotifications).value()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(kNotifications, QStringLiteral("/org/freedesktop/Notifications"),
                                                     kNotifications, QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.failed ? 2 : 1));
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("dualdock"));
  call << QStringLiteral("Dualdock") << 0u << QStringLiteral("dualdock") << QString::fromStdString(notice.summary)
       << QString::fromStdString(notice.body) << QStringList() << hints << -1;
  return bus.send(call);
}

void ShowTaskbarProgress(const QDBusConnection& bus, double progress, bool visible, bool urgent) {
  if (!bus.isConnected()) return;
  QDBusMessage update =
      QDBusMessage::createSignal(QStringLiteral("/io/dualdock/Dualdock"),
                                 QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
  QVariantMap properties;
  properties.insert(QStringLiteral("progress"), progress);
  properties.insert(QStringLiteral("progress-visible"), visible);
  properties.insert(QStringLiteral("urgent"), urgent);
  update << QStringLiteral("application://dualdock.desktop") << properties;
  bus.send(update);
}

}  // namespace dd::ui
