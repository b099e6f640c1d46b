#pragma once
// Model text (Windows-1252 bytes) and file-system names to and from the widgets' QString.
#include "platform/api/cp1252.h"

#include <QFile>
#include <QString>
#include <string>

namespace kx {

inline QString qs(const std::string& bytes) { return QString::fromStdString(cp1252_to_utf8(bytes)); }
inline std::string bytes(const QString& text) { return utf8_to_cp1252(text.toStdString()); }

// Paths are file-system names, never project text: "Caffè" or a Cyrillic folder name
// keeps every character.
inline QString qpath(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
// A window title of a text and the file it shows: "<text> (<path>)".
inline QString file_title(const std::string& text, const std::string& path) {
    return qs(text) + " (" + qpath(path) + ")";
}
inline std::string fs_name(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace kx
