#pragma once

#include "HostRecord.h"
#include "MateRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

#include "NameSieve.h"

class TrackTable;

// A roster entry's identity: its group and its trimmed LFS name. No edit changes either,
// and two entries with the same nick in different groups stay two.
struct MateKey {
    QString group;
    QByteArray lfsName; // trimmed
    bool operator==(const MateKey&) const = default;
    static MateKey of(const MateEntry& entry);
};
size_t qHash(const MateKey& key, size_t seed = 0);

// Where one roster entry races now.
struct MateSighting {
    // An S1 or S2 host lists the entry's trimmed LFS name among its racers.
    bool online = false;
    // The last host in the list that lists the entry's stored LFS name among its racers
    // (any version type, so also for an entry that is not online), and its track as the
    // server list shows it. "Join mate" and the tree's double click go there. Empty for an
    // entry whose stored name has blanks around it: it may be online, but no host lists
    // it as such.
    QByteArray host;
    QByteArray track;
    qsizetype hostIndex = -1; // that host's place in the host list
    qsizetype slot = -1;      // the entry's racer slot on it
    // An online entry's host counts as one with mates: its row gets picture 2, its racer
    // line names the mate, the standing filters keep it.
    bool marksHost = false;
};

// The roster's half of the matching: each entry's trimmed LFS name and the names to look
// for among the racers. It depends on the roster only, so a refresh that brings a new
// host list and the same roster reuses it.
class RosterIndex {
public:
    RosterIndex() = default;
    // roster: every group's entries, group by group.
    explicit RosterIndex(const QList<MateEntry>& roster);
    // The roster it was made from.
    const QList<MateEntry>& roster() const { return m_roster; }

private:
    friend class Sightings;
    struct Entry {
        int person = -1;            // into m_entriesOf; -1 for a blank LFS name
        bool storedTrimmed = false; // the name as stored has no blanks around it
    };
    QList<MateEntry> m_roster;
    QHash<QByteArray, int> m_personOf; // trimmed LFS name -> person
    NameSieve m_sieve;
    QSet<QByteArray> m_persons;
    std::vector<Entry> m_entries;              // one per roster entry
    std::vector<std::vector<int>> m_entriesOf; // person -> his entries, in roster order
};

// An entry the sightings know of: its place in the roster they were made from.
struct SeenEntry {
    qsizetype entry = -1;
    MateKey key;
    MateSighting sighting;
};

// Who of the roster races where, made once per refresh from the roster and the host
// list, and the only place that matches the roster's names with the hosts' racers.
// Every reader (the tree, the server list's picture and counters, its tooltips and
// standing filters, the alerts, last seen, the tray, "Join mate") takes it from here.
class Sightings {
public:
    Sightings() = default;
    // roster: every group's entries, group by group. An entry is online when an S1 or S2
    // host lists its trimmed LFS name among its racers (slots trimmed).
    static Sightings make(const QList<MateEntry>& roster, const HostList& hosts,
                          const TrackTable& tracks);
    static Sightings make(const RosterIndex& roster, const HostList& hosts,
                          const TrackTable& tracks);

    // The entry's sighting; nothing while it is neither online nor listed by any host.
    std::optional<MateSighting> find(const MateKey& key) const;
    bool isOnline(const MateKey& key) const { return m_sightings.value(key).online; }
    // The names of the hosts that an online entry marks.
    const QSet<QByteArray>& hostsWithMates() const { return m_hostsWithMates; }
    // The roster's persons: its trimmed LFS names, blank ones left out (never online).
    const QSet<QByteArray>& persons() const { return m_persons; }
    // Entries of the roster and those of them online (the tree's "Online mates: x/y").
    int entryCount() const { return m_entryCount; }
    int onlineEntryCount() const { return m_onlineEntries; }
    // Persons online: entries with the same trimmed LFS name count once.
    int onlinePersonCount() const { return m_onlinePersons; }
    // The entries that are online or listed by a host, in roster order: the readers that
    // need an entry's own fields walk these rather than the whole roster.
    const QList<SeenEntry>& seenEntries() const { return m_seen; }

private:
    QHash<MateKey, MateSighting> m_sightings;
    QList<SeenEntry> m_seen;
    QSet<QByteArray> m_hostsWithMates;
    QSet<QByteArray> m_persons;
    int m_entryCount = 0;
    int m_onlineEntries = 0;
    int m_onlinePersons = 0;
};
