#include "ui/shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QStringList>

#include "ui/qt_text.h"

namespace dd::ui {

namespace {

std::string ParentFolder(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.rfind('/');
  if (slash == std::string::npos) return p;
  return slash == 0 ? std::string("/") : p.substr(0, slash);
}

}  // namespace

void ShowInFileManager(const std::string& path) {
  if (path.empty()) return;
  const QUrl parent = FileUrl(ParentFolder(path));
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
