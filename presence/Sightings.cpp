#include "Sightings.h"

#include "MateRecord.h"
#include "NameSieve.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

size_t qHash(const MateKey& key, size_t seed) {
    return qHashMulti(seed, key.group, key.lfsName);
}

namespace {

struct Racer {
    bool online = false;    // listed by an S1 or S2 host
    qsizetype last = -1;    // the last host listing the name exactly as stored
    qsizetype lastAny = -1; // the last host listing it at all
};

} // namespace

Sightings Sightings::make(const QList<MateEntry>& roster, const HostList& hosts,
                          const TrackTable& tracks) {
    Sightings made;
    made.m_entryCount = int(roster.size());
    // One pass over the hosts for the roster's names only: the hosts list far more
    // racers than the roster has mates.
    QHash<QByteArray, Racer> racers;
    NameSieve sieve;
    for (const MateEntry& entry : roster) {
        const QByteArray name = TrimBytes(entry.record.lfsName());
        if (!name.isEmpty() && !racers.contains(name)) {
            racers.insert(name, Racer{});
            sieve.add(name);
        }
    }
    for (qsizetype h = 0; h < hosts.size(); ++h) {
        const HostRecord& host = hosts.at(h);
        for (qsizetype j = 0; j < host.racerCount; ++j) {
            const QByteArrayView racer = TrimmedView(host.racerSlot(j));
            if (racer.isEmpty() || !sieve.mayContain(racer))
                continue;
            // A raw view as key: no copy for the many racers who are nobody's mate.
            const auto it = racers.find(QByteArray::fromRawData(racer.data(), racer.size()));
            if (it == racers.end())
                continue;
            it->online = it->online || host.isS1OrS2();
            it->lastAny = h;
        }
    }
    QSet<QByteArray> personsOnline;
    for (const MateEntry& entry : roster) {
        const QByteArray stored = entry.record.lfsName();
        const QByteArray name = TrimBytes(stored);
        const auto racer = racers.constFind(name);
        if (racer == racers.constEnd() || !racer->online)
            continue;
        ++made.m_onlineEntries;
        const MateKey key{entry.group, name};
        if (made.m_hosts.contains(key))
            continue; // the same person twice in one group: one key, his first entry
        Sighting sighting;
        // The host is found by the name as stored: one with blanks around it names none.
        if (racer->lastAny >= 0 && stored == name) {
            const HostRecord& host = hosts.at(racer->lastAny);
            sighting = {host.name, tracks.TrackName(host)};
            made.m_hostsWithMates.insert(host.name);
        }
        made.m_hosts.insert(key, sighting);
        made.m_order.append(key);
        personsOnline.insert(name);
    }
    made.m_onlinePersons = int(personsOnline.size());
    return made;
}

std::optional<Sighting> Sightings::find(const MateKey& key) const {
    const auto it = m_hosts.constFind(key);
    if (it == m_hosts.constEnd())
        return std::nullopt;
    return *it;
}

QList<MateKey> Sightings::matesOn(const QByteArray& host) const {
    QList<MateKey> on;
    for (const MateKey& key : m_order)
        if (m_hosts.value(key).host == host)
            on.append(key);
    return on;
}
