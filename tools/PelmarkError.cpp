#include "PelmarkError.h"

PelmarkError::PelmarkError(QString message, Kind kind, int httpStatus)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_kind(kind),
      m_httpStatus(kind == Kind::HttpStatus ? httpStatus : 0) {}

namespace ErrorText {
QString InvalidIndex() {
    return QStringLiteral("Ungültiger Index");
}
QString NotAnInteger(const QString& text) {
    return QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text);
}
QString CannotWrite(const QString& path) {
    return QStringLiteral("In %1 kann nicht geschrieben werden").arg(path);
}
QString CannotOpen(const QString& path) {
    return QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(path);
}
QString CannotRead(const QString& path) {
    return QStringLiteral("Aus %1 kann nicht gelesen werden").arg(path);
}
} // namespace ErrorText
