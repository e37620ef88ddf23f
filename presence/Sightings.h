#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class TrackTable;
struct MateEntry;

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

private:
    QHash<MateKey, MateSighting> m_sightings;
    QSet<QByteArray> m_hostsWithMates;
    QSet<QByteArray> m_persons;
    int m_entryCount = 0;
    int m_onlineEntries = 0;
    int m_onlinePersons = 0;
};
