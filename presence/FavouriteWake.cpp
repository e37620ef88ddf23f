#include "FavouriteWake.h"

#include <algorithm>

QList<HostSeen> FavouriteWake::update(const HostList& hosts, const QSet<QByteArray>& favourites,
                                      const TrackTable& tracks) {
    QList<HostSeen> woken;
    QHash<QByteArray, int> counts;
    counts.reserve(favourites.size());
    for (const QByteArray& favourite : favourites)
        counts.insert(favourite, -1); // -1 until its first listed host is seen
    for (const HostRecord& host : hosts) {
        const auto count = counts.find(host.name);
        // The first listed host of a name counts, as the slot watch takes it.
        if (count == counts.end() || *count >= 0 || !host.isListed())
            continue;
        *count = host.racerCount;
        // Not a favourite at the previous refresh (nor before the first): its baseline.
        const auto before = m_previous.constFind(host.name);
        if (m_racers > 0 && before != m_previous.constEnd() && *before < m_racers &&
            host.racerCount >= m_racers)
            woken.append(HostSeen::of(host, tracks));
    }
    for (int& count : counts)
        count = std::max(count, 0); // a favourite not listed now has nobody on it
    m_previous = std::move(counts);
    return woken;
}
