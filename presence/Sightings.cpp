#include "Sightings.h"

#include "MateRecord.h"
#include "NameSieve.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

size_t qHash(const MateKey& key, size_t seed) {
    return qHashMulti(seed, key.group, key.lfsName);
}

MateKey MateKey::of(const MateEntry& entry) {
    return {entry.group, TrimBytes(entry.record.lfsName())};
}

namespace {

struct Racer {
    bool online = false; // listed by an S1 or S2 host
    qsizetype host = -1; // the last host listing the name, of any version type
    qsizetype slot = -1; // the name's first slot there
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
    made.m_persons.reserve(racers.size());
    for (auto it = racers.cbegin(); it != racers.cend(); ++it)
        made.m_persons.insert(it.key());
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
            if (it->host != h) {
                it->host = h;
                it->slot = j;
            }
        }
    }
    QSet<QByteArray> personsOnline;
    for (const MateEntry& entry : roster) {
        const QByteArray stored = entry.record.lfsName();
        const QByteArray name = TrimBytes(stored);
        const auto racer = racers.constFind(name);
        if (racer == racers.constEnd())
            continue;
        // The host is found by the name as stored: one with blanks around it names none.
        const bool listed = racer->host >= 0 && stored == name;
        if (!racer->online && !listed)
            continue;
        if (racer->online) {
            ++made.m_onlineEntries;
            personsOnline.insert(name);
        }
        // The same person twice in one group is one key; either entry may give its host
        // and mark it.
        const MateKey key{entry.group, name};
        auto known = made.m_sightings.find(key);
        if (known == made.m_sightings.end()) {
            known = made.m_sightings.insert(key, MateSighting{});
            known->online = racer->online;
        }
        if (known->host.isEmpty() && listed) {
            const HostRecord& host = hosts.at(racer->host);
            known->host = host.name;
            known->track = tracks.TrackName(host);
            known->hostIndex = racer->host;
            known->slot = racer->slot;
        }
        // The host is found by the LFS name, so a nick with blanks around it marks it too.
        if (racer->online && !known->host.isEmpty() && !known->marksHost) {
            known->marksHost = true;
            made.m_hostsWithMates.insert(known->host);
        }
    }
    made.m_onlinePersons = int(personsOnline.size());
    return made;
}

std::optional<MateSighting> Sightings::find(const MateKey& key) const {
    const auto it = m_sightings.constFind(key);
    if (it == m_sightings.constEnd())
        return std::nullopt;
    return *it;
}
