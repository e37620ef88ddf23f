#include "OnlineMates.h"

#include "MateRecord.h"
#include "Sightings.h"

#include <QHash>

QList<OnlineMate> OnlinePersons(const Sightings& sightings, const QList<MateEntry>& roster) {
    QList<OnlineMate> online;
    online.reserve(sightings.onlinePersonCount());
    QHash<QByteArray, qsizetype> indexOf; // trimmed name -> index in `online`
    for (const SeenEntry& each : sightings.seenEntries()) {
        const MateSighting* seen = &each.sighting;
        const MateKey& key = each.key;
        if (!seen->online || each.entry >= roster.size())
            continue;
        const MateEntry& entry = roster.at(each.entry);
        const auto known = indexOf.constFind(key.lfsName);
        if (known == indexOf.constEnd()) {
            indexOf.insert(key.lfsName, online.size());
            online.append(
                {key.lfsName, entry.record.displayName(), seen->host, seen->track, {entry.group}});
            continue;
        }
        OnlineMate& person = online[*known];
        if (!person.groups.contains(entry.group))
            person.groups.append(entry.group);
        if (person.host.isEmpty()) {
            person.host = seen->host;
            person.track = seen->track;
        }
    }
    return online;
}

QString OnlineMatesText(int online, int total) {
    return QStringLiteral("Online mates: %1/%2").arg(online).arg(total);
}
