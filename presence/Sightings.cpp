#include "Sightings.h"

#include "MateRecord.h"
#include "NameSieve.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

#include <algorithm>

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

RosterIndex::RosterIndex(const QList<MateEntry>& roster) : m_roster(roster) {
    m_entries.resize(size_t(roster.size()));
    for (qsizetype i = 0; i < roster.size(); ++i) {
        const QByteArray stored = roster.at(i).record.lfsName();
        const QByteArray name = TrimBytes(stored);
        if (name.isEmpty())
            continue;
        auto it = m_personOf.constFind(name);
        if (it == m_personOf.constEnd()) {
            it = m_personOf.insert(name, int(m_entriesOf.size()));
            m_entriesOf.emplace_back();
            m_sieve.add(name);
            m_persons.insert(name);
        }
        m_entries[size_t(i)] = {*it, stored == name};
        m_entriesOf[size_t(*it)].push_back(int(i));
    }
}

Sightings Sightings::make(const QList<MateEntry>& roster, const HostList& hosts,
                          const TrackTable& tracks) {
    return make(RosterIndex(roster), hosts, tracks);
}

Sightings Sightings::make(const RosterIndex& index, const HostList& hosts,
                          const TrackTable& tracks) {
    const QList<MateEntry>& roster = index.m_roster;
    Sightings made;
    made.m_entryCount = int(roster.size());
    made.m_persons = index.m_persons;
    // One pass over the hosts for the roster's names only: the hosts list far more
    // racers than the roster has mates.
    std::vector<Racer> racers(index.m_entriesOf.size());
    std::vector<int> found; // the persons some host lists, in the order first seen
    for (qsizetype h = 0; h < hosts.size(); ++h) {
        const HostRecord& host = hosts.at(h);
        for (qsizetype j = 0; j < host.racerCount; ++j) {
            const QByteArrayView racer = TrimmedView(host.racerSlot(j));
            if (racer.isEmpty() || !index.m_sieve.mayContain(racer))
                continue;
            // A raw view as key: no copy for the many racers who are nobody's mate.
            const auto it =
                index.m_personOf.constFind(QByteArray::fromRawData(racer.data(), racer.size()));
            if (it == index.m_personOf.constEnd())
                continue;
            Racer& seen = racers[size_t(*it)];
            if (seen.host < 0)
                found.push_back(*it);
            seen.online = seen.online || host.isS1OrS2();
            if (seen.host != h) {
                seen.host = h;
                seen.slot = j;
            }
        }
    }
    // Only the entries of the persons found are looked at, in roster order.
    std::vector<int> entries;
    for (const int person : found)
        entries.insert(entries.end(), index.m_entriesOf[size_t(person)].begin(),
                       index.m_entriesOf[size_t(person)].end());
    std::sort(entries.begin(), entries.end());
    QSet<int> personsOnline;
    for (const int i : entries) {
        const MateEntry& entry = roster.at(i);
        const RosterIndex::Entry& indexed = index.m_entries[size_t(i)];
        const Racer& racer = racers[size_t(indexed.person)];
        // The host is found by the name as stored: one with blanks around it names none.
        const bool listed = racer.host >= 0 && indexed.storedTrimmed;
        if (!racer.online && !listed)
            continue;
        if (racer.online) {
            ++made.m_onlineEntries;
            personsOnline.insert(indexed.person);
        }
        // The same person twice in one group is one key; either entry may give its host
        // and mark it.
        const MateKey key = MateKey::of(entry);
        auto known = made.m_sightings.find(key);
        if (known == made.m_sightings.end()) {
            known = made.m_sightings.insert(key, MateSighting{});
            known->online = racer.online;
        }
        if (known->host.isEmpty() && listed) {
            const HostRecord& host = hosts.at(racer.host);
            known->host = host.name;
            known->track = tracks.TrackName(host);
            known->hostIndex = racer.host;
            known->slot = racer.slot;
        }
        // The host is found by the LFS name, so a nick with blanks around it marks it too.
        if (racer.online && !known->host.isEmpty() && !known->marksHost) {
            known->marksHost = true;
            made.m_hostsWithMates.insert(known->host);
        }
        made.m_seen.append({i, key, {}});
    }
    // Each entry's sighting is that of its key, which a later entry of it may have filled.
    for (SeenEntry& seen : made.m_seen)
        seen.sighting = made.m_sightings.value(seen.key);
    made.m_onlinePersons = int(personsOnline.size());
    return made;
}

std::optional<MateSighting> Sightings::find(const MateKey& key) const {
    const auto it = m_sightings.constFind(key);
    if (it == m_sightings.constEnd())
        return std::nullopt;
    return *it;
}
