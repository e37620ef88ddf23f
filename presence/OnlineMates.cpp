#include "OnlineMates.h"

#include "NameSieve.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

#include <QHash>

QSet<QByteArray> RosterNames(const QList<RosterMate>& roster) {
    QSet<QByteArray> names;
    names.reserve(roster.size());
    for (const RosterMate& mate : roster) {
        const QByteArray name = TrimBytes(mate.lfsName);
        if (!name.isEmpty())
            names.insert(name);
    }
    return names;
}

QList<OnlineMate> FindOnlineMates(const QList<RosterMate>& roster, const HostList& hosts,
                                  const TrackTable& tracks) {
    return FindOnlineMates(roster, RosterNames(roster), hosts, tracks);
}

QList<OnlineMate> FindOnlineMates(const QList<RosterMate>& roster, const QSet<QByteArray>& wanted,
                                  const HostList& hosts, const TrackTable& tracks) {
    // One pass over the hosts for the roster's names only: the hosts list far more
    // racers than the roster has mates.
    NameSieve sieve;
    for (const QByteArray& name : wanted)
        sieve.add(name);
    QHash<QByteArray, qsizetype> hostOf; // trimmed name -> index of the last listing host
    for (qsizetype h = 0; h < hosts.size(); ++h) {
        const HostRecord& host = hosts.at(h);
        if (!host.isS1OrS2())
            continue;
        for (qsizetype j = 0; j < host.racerCount; ++j) {
            // Looked up without a copy: only the few mates among the racers are kept.
            const QByteArrayView view = TrimmedView(host.racerSlot(j));
            if (!sieve.mayContain(view))
                continue;
            const QByteArray name = QByteArray::fromRawData(view.data(), view.size());
            if (wanted.contains(name))
                hostOf.insert(QByteArray(view.data(), view.size()), h);
        }
    }

    QList<OnlineMate> online;
    QHash<QByteArray, qsizetype> indexOf; // trimmed name -> index in `online`
    for (const RosterMate& mate : roster) {
        const QByteArray name = TrimBytes(mate.lfsName);
        const auto host = hostOf.constFind(name);
        if (host == hostOf.constEnd())
            continue;
        const auto known = indexOf.constFind(name);
        if (known != indexOf.constEnd()) {
            QStringList& groups = online[*known].groups;
            if (!groups.contains(mate.group))
                groups.append(mate.group);
            continue;
        }
        const HostRecord& record = hosts.at(*host);
        indexOf.insert(name, online.size());
        online.append(
            {name, mate.displayName, record.name, tracks.TrackName(record), {mate.group}});
    }
    return online;
}
