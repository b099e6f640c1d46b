#pragma once
// Model text (Windows-1252 bytes) to and from the widgets' QString.
#include "platform/api/cp1252.h"

#include <QString>
#include <string>

namespace kx {

inline QString qs(const std::string& bytes) { return QString::fromStdString(cp1252_to_utf8(bytes)); }
inline std::string bytes(const QString& text) { return utf8_to_cp1252(text.toStdString()); }

} // namespace kx
