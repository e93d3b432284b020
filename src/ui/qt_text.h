// The border between the core's byte texts and Qt's strings. Texts are decoded
// for display only; paths that go back to the core keep their bytes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUrl>
#include <string>
#include <vector>

namespace dd::ui {

// A language or record text for display (CR LF shown as a line break).
QString Display(const std::string& text);
// A path for display.
inline QString DisplayPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
// A path the user chose in a Qt dialog, as the bytes of the file system.
inline std::string PathBytes(const QString& path) {
  const QByteArray b = QFile::encodeName(path);
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
// The local paths of a "text/uri-list", byte for byte (percent-decoded, never re-encoded).
std::vector<std::string> LocalPathsOfUriList(const QByteArray& uriList);
// A "file://" URL that carries the path's bytes exactly.
QUrl FileUrl(const std::string& path);

}  // namespace dd::ui
