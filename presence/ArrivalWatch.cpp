#include "ArrivalWatch.h"

#include <algorithm>
#include <utility>

void ArrivalWatch::setDampingMinutes(int minutes) {
    m_dampingMinutes = std::clamp(minutes, 0, MaxDampingMinutes);
}

bool ArrivalWatch::recentlyLeft(const QByteArray& mate, const QDateTime& now) const {
    const auto left = m_wentAway.constFind(mate);
    // A clock put back counts as recent: better one alert too few than a burst.
    return left != m_wentAway.constEnd() && left->secsTo(now) < qint64(m_dampingMinutes) * 60;
}

QSet<QByteArray> ArrivalWatch::update(const QDateTime& now, const QSet<QByteArray>& racersOnline,
                                      const QSet<QByteArray>& mates) {
    // Only a mate online now or at the previous refresh can arrive or go: the loops run
    // over those few, not over the whole roster.
    QSet<QByteArray> arrived;
    QSet<QByteArray> matesOnline;
    for (const QByteArray& mate : racersOnline) {
        if (!mates.contains(mate))
            continue;
        // Added to the roster since the previous refresh: this one is his baseline.
        const bool known = m_previousMates.contains(mate);
        if (!m_previous.contains(mate) && m_hasBaseline && known && !recentlyLeft(mate, now))
            arrived.insert(mate);
        matesOnline.insert(mate);
        m_wentAway.remove(mate);
    }
    for (const QByteArray& mate : std::as_const(m_previous)) {
        if (!matesOnline.contains(mate) && mates.contains(mate))
            m_wentAway.insert(mate, now);
    }
    // Nothing older than the longest damping can matter again.
    const qint64 keep = qint64(MaxDampingMinutes) * 60;
    for (auto it = m_wentAway.begin(); it != m_wentAway.end();)
        it = (it->secsTo(now) >= keep || !mates.contains(it.key())) ? m_wentAway.erase(it) : ++it;
    m_previous = std::move(matesOnline);
    m_previousMates = mates;
    m_hasBaseline = true;
    return arrived;
}
