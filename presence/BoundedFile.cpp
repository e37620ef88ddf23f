#include "BoundedFile.h"

#include "RegularFile.h"

#include <QSaveFile>

QByteArray ReadBoundedFile(const QString& path, qint64 limit) {
    return ReadRegularFile(path, limit).value_or(QByteArray());
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
