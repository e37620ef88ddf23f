#pragma once

#include <QString>
#include <exception>

// The one error type of the program. Runtime failures (file, number conversion,
// network) are thrown as this and shown by the top-level handler.
class PelmarkError : public std::exception {
public:
    explicit PelmarkError(QString message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A wait that the program itself ended (it is quitting): the handler stops, and the
// top-level handler shows nothing.
class RequestCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "request cancelled"; }
};

// Texts of the runtime errors, kept as the program has always shown them.
namespace ErrorText {
QString InvalidIndex();                    // "Ungültiger Index"
QString NotAnInteger(const QString& text); // "'%s' ist kein gültiger Integerwert"
QString CannotWrite(const QString& path);  // "In %s kann nicht geschrieben werden"
QString CannotOpen(const QString& path);
QString CannotRead(const QString& path);
} // namespace ErrorText
