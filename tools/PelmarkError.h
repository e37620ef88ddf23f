#pragma once

#include <QString>
#include <exception>

// The one error type of the program. Runtime failures (file, number conversion,
// network) are thrown as this and shown by the top-level handler. The kind lets a caller
// tell a missing file on the service from a passing failure; the message is what the
// user reads, whatever the kind.
class PelmarkError : public std::exception {
public:
    enum class Kind {
        Other,          // number conversion, an index, anything not listed below
        File,           // a local file or folder cannot be opened, read or written
        Connection,     // no connection, refused, reset, name not found, TLS
        TimeOut,        // the transfer stalled or ran past its total limit
        HttpStatus,     // the service answered with an error status (httpStatus())
        MalformedReply, // the reply is no valid HTTP, or too large
    };

    explicit PelmarkError(QString message, Kind kind = Kind::Other, int httpStatus = 0);
    const QString& message() const { return m_message; }
    Kind kind() const { return m_kind; }
    // The status code for Kind::HttpStatus, else 0.
    int httpStatus() const { return m_httpStatus; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
    Kind m_kind;
    int m_httpStatus;
};

// Texts of the runtime errors, kept as the program has always shown them.
namespace ErrorText {
QString InvalidIndex();                    // "Ungültiger Index"
QString NotAnInteger(const QString& text); // "'%s' ist kein gültiger Integerwert"
QString CannotWrite(const QString& path);  // "In %s kann nicht geschrieben werden"
QString CannotOpen(const QString& path);
QString CannotRead(const QString& path);
} // namespace ErrorText
