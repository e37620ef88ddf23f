#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class TrackTable;

// One entry of the roster as the presence logic needs it.
struct RosterMate {
    QString group;
    QByteArray lfsName;     // as stored
    QByteArray displayName; // the nick as stored, or the LFS name
};

// One person of the roster who is online: a racer in two groups is one person.
struct OnlineMate {
    QByteArray lfsName;     // trimmed, the key everything else uses
    QByteArray displayName; // of the person's first entry
    QByteArray host;        // the host's display name
    QByteArray track;       // the track's name as the server list shows it
    QStringList groups;     // every group the person stands in, in roster order
};

// The trimmed LFS names of the roster, blank names left out (they are never online).
QSet<QByteArray> RosterNames(const QList<RosterMate>& roster);

// The roster's persons who are online, in the order of their first entry. The host is
// the last S1 or S2 host that lists the racer.
QList<OnlineMate> FindOnlineMates(const QList<RosterMate>& roster, const HostList& hosts,
                                  const TrackTable& tracks);
// The same, for a caller that holds RosterNames(roster) already.
QList<OnlineMate> FindOnlineMates(const QList<RosterMate>& roster, const QSet<QByteArray>& names,
                                  const HostList& hosts, const TrackTable& tracks);
