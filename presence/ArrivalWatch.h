#pragma once

#include "PresenceOptions.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>

// Who came online between two successful refreshes. The first refresh of a run only
// sets the baseline. A mate who went away less than the damping time ago and is back
// is not announced again, so a dropped connection does not bring a second alert.
class ArrivalWatch {
public:
    static constexpr int DefaultDampingMinutes = 10;
    static constexpr int MaxDampingMinutes = MaxAlertDampingMinutes;

    void setDampingMinutes(int minutes); // clamped to 0..120
    int dampingMinutes() const { return m_dampingMinutes; }

    // racersOnline: the racers online now (trimmed; only the mates among them matter);
    // mates: the roster's trimmed LFS names. Answers the mates to announce: online now,
    // not at the previous refresh and not back within the damping time.
    QSet<QByteArray> update(const QDateTime& now, const QSet<QByteArray>& racersOnline,
                            const QSet<QByteArray>& mates);

private:
    bool recentlyLeft(const QByteArray& mate, const QDateTime& now) const;

    int m_dampingMinutes = DefaultDampingMinutes;
    bool m_hasBaseline = false;
    QSet<QByteArray> m_previous;             // the mates online at the previous refresh
    QSet<QByteArray> m_previousMates;        // the roster then: a mate added since is not new
    QHash<QByteArray, QDateTime> m_wentAway; // the refresh that first missed the mate
};
