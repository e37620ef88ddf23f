#pragma once

#include "FakeDesktop.h"
#include "HostFixture.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "SingleByteText.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Shared set-up of the roster suites without a window: a groups folder in a temporary
// directory, the lists, and host records built in memory.
namespace RosterFixture {

inline MateRecord Mate(QByteArrayView lfsName, QByteArrayView nick = {}) {
    return MateRecord::make(lfsName, nick, {}, {});
}

inline QByteArray RecordsBytes(const QList<MateRecord>& records) {
    QByteArray bytes;
    for (const MateRecord& r : records)
        bytes += r.bytes();
    return bytes;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write fixture file");
    file.write(bytes);
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct RosterFiles {
    TemporaryHome home; // a deleted group goes to its trash
    QTemporaryDir temp;
    QString groupsDir = temp.path() + QStringLiteral("/groups/");
    QuillonPubStats stats;
    HostList hosts; // the last refresh's, as the refresh controller keeps it
    ProfileStore store{groupsDir};
    FakeDesktop desktop;

    explicit RosterFiles(bool makeGroupsDir = true) {
        if (makeGroupsDir)
            QDir().mkpath(groupsDir);
    }
    QString path(const QString& group) const { return store.ProfilePath(group); }
    void group(const QString& name, const QList<MateRecord>& records = {}) {
        WriteFile(path(name), RecordsBytes(records));
    }
};

} // namespace RosterFixture
