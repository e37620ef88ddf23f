#include "MateRecord.h"
#include "PelmarkError.h"
#include "ProfileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

// A profile file of any bytes loads without reading past its records, and a rewrite
// gives back the whole records byte for byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the machine has it: the rewrite syncs its file to the disk, and a disk
    // holds a run to a few thousand inputs a second.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                 ? QStringLiteral("/dev/shm/fuzz_profile-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_profile-XXXXXX"));
    const QString groups = dir.path() + QLatin1Char('/');
    const QString path = groups + QStringLiteral("fuzz.profile");
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    ProfileStore store(groups);
    QList<MateEntry> mates;
    try {
        store.LoadProfile(path, mates);
    } catch (const PelmarkError&) {
        return 0;
    }
    const qsizetype whole = bytes.size() / MateRecord::Size;
    if (mates.size() != whole)
        std::abort();
    for (const MateEntry& m : mates) {
        if (m.record.lfsName().size() > MateRecord::LfsNameMax ||
            m.record.nick().size() > MateRecord::NickMax ||
            m.record.team().size() > MateRecord::TeamMax ||
            m.record.homepage().size() > MateRecord::HomepageMax)
            std::abort();
        (void)m.record.displayName();
        (void)m.record.trimmedDisplayName();
    }
    store.RewriteProfile(QStringLiteral("fuzz"), mates);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes.left(whole * MateRecord::Size))
        std::abort();
    return 0;
}
