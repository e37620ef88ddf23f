#pragma once

#include "PresenceOptions.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

struct OnlineMate;

// Who of the mates online changed host between successful refreshes. A move counts once
// the new host has been seen at two refreshes in a row: a mate who is back where he was
// at the next refresh has not moved, and a list that shows him on another host for one
// refresh (or not at all) brings no alert. The first refresh that sees a mate only takes
// note of his host; so does the first after he was away longer than the damping time,
// which makes him a mate who came online. Within that time, coming back on another host
// is a move.
class HostMoveWatch {
public:
    void setDampingMinutes(int minutes); // clamped to 0..MaxAlertDampingMinutes

    // online: the persons online now, with their hosts (a mate without a host is as one
    // away). Answers the trimmed LFS names of those who moved; their new host is the one
    // they have in `online`.
    QSet<QByteArray> update(const QDateTime& now, const QList<OnlineMate>& online);

private:
    struct Seen {
        QByteArray settled; // where he was last taken to be
        QByteArray pending; // another host, seen at the last refresh only
        QDateTime wentAway; // the refresh that first missed him; null while he is online
    };

    int m_dampingMinutes = PresenceOptions().dampingMinutes;
    QHash<QByteArray, Seen> m_seen;
};
