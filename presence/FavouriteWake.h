#pragma once

#include "SlotWatch.h"

#include <QHash>
#include <QSet>

// Which favourite hosts have just woken up: their racers rose to at least the user's
// number since the previous refresh. The first refresh of a run only sets the baseline,
// and so does the first refresh after a host became a favourite; a host that stays at or
// above the number is told once, and again only after it has fallen below.
class FavouriteWake {
public:
    // 0 tells nothing; the counts are kept all the same, so switching on later or
    // changing the number tells only a rise that comes after it.
    void setRacers(int racers) { m_racers = racers; }
    int racers() const { return m_racers; }

    // favourites: the user's favourite hosts by name. Answers those to tell, in host-list
    // order.
    QList<HostSeen> update(const HostList& hosts, const QSet<QByteArray>& favourites,
                           const TrackTable& tracks);

private:
    int m_racers = 0;
    QHash<QByteArray, int> m_previous; // favourite -> racers then; 0 while it was not listed
};
