#include "HostMoveWatch.h"

#include "OnlineMates.h"

#include <algorithm>

void HostMoveWatch::setDampingMinutes(int minutes) {
    m_dampingMinutes = std::clamp(minutes, 0, MaxAlertDampingMinutes);
}

QSet<QByteArray> HostMoveWatch::update(const QDateTime& now, const QList<OnlineMate>& online) {
    QSet<QByteArray> moved;
    QSet<QByteArray> here;
    for (const OnlineMate& mate : online) {
        if (mate.host.isEmpty())
            continue;
        here.insert(mate.lfsName);
        const auto known = m_seen.find(mate.lfsName);
        if (known == m_seen.end()) {
            m_seen.insert(mate.lfsName, Seen{mate.host, {}, {}});
            continue;
        }
        Seen& seen = *known;
        seen.wentAway = QDateTime();
        if (mate.host == seen.settled) {
            seen.pending.clear(); // there and back: no move
        } else if (mate.host == seen.pending) {
            moved.insert(mate.lfsName);
            seen.settled = mate.host;
            seen.pending.clear();
        } else {
            seen.pending = mate.host; // to be seen there once more
        }
    }
    // Whoever is away now keeps where he was for the damping time; a host seen only once
    // before he went is forgotten, so that the next sighting starts afresh.
    const qint64 keep = qint64(m_dampingMinutes) * 60;
    for (auto it = m_seen.begin(); it != m_seen.end();) {
        if (here.contains(it.key())) {
            ++it;
            continue;
        }
        it->pending.clear();
        if (!it->wentAway.isValid())
            it->wentAway = now;
        // A clock put back counts as recent, as it does for the arrivals.
        const bool gone = it->wentAway.secsTo(now) >= keep;
        it = gone ? m_seen.erase(it) : ++it;
    }
    return moved;
}
