#include "ui/qt_text.h"

namespace dd::ui {

QString Display(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return s;
}

std::vector<std::string> LocalPathsOfUriList(const QByteArray& uriList) {
  std::vector<std::string> paths;
  for (QByteArray line : uriList.split('\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (!line.startsWith("file://")) continue;
    QByteArray rest = line.mid(7);
    // "file://host/path": the path starts at the first slash after the host.
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0) continue;
    const QByteArray path = QByteArray::fromPercentEncoding(rest.mid(slash));
    paths.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
  }
  return paths;
}

QUrl FileUrl(const std::string& path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

}  // namespace dd::ui
