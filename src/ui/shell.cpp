#include "ui/shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QStringList>

#include "common/paths.h"
#include "ui/qt_text.h"

namespace dd::ui {

void ShowInFileManager(const std::string& path) {
  if (path.empty()) return;
  const QUrl parent = FileUrl(FolderOfPath(path));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    QDesktopServices::openUrl(parent);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  // The encoded URL keeps bytes that are no UTF-8 as %XX, so the file manager finds the very file.
  call << QStringList{QString::fromLatin1(FileUrl(path).toEncoded())} << QString();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 3000));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, parent] {
    if (watcher->isError()) QDesktopServices::openUrl(parent);
    watcher->deleteLater();
  });
}

void OpenWithShell(const std::string& path) {
  if (path.empty()) return;
  QDesktopServices::openUrl(FileUrl(path));
}

}  // namespace dd::ui
