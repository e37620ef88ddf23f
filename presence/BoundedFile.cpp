#include "BoundedFile.h"

#include "RegularFile.h"

#include <QJsonDocument>
#include <QSaveFile>

QByteArray ReadBoundedFile(const QString& path, qint64 limit) {
    return ReadRegularFile(path, limit).value_or(QByteArray());
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QJsonObject ReadJsonObjectFile(const QString& path, qint64 limit) {
    const QByteArray bytes = ReadBoundedFile(path, limit);
    if (bytes.isEmpty())
        return {};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && doc.isObject())
        return doc.object();
    WriteWholeFile(path + QStringLiteral(".damaged"), bytes);
    return {};
}
