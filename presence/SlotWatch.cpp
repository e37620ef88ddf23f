#include "SlotWatch.h"

#include "SingleByteText.h"
#include "TrackNaming.h"

#include <algorithm>

HostSeen HostSeen::of(const HostRecord& record, const TrackTable& tracks) {
    return {record.name, tracks.TrackName(record), record.racerCount, record.maxPlayers()};
}

bool SlotWatch::start(const QByteArray& host) {
    if (host.isEmpty() || isWatched(host) || !canStartMore())
        return false;
    m_watches.append({host});
    return true;
}

bool SlotWatch::cancel(const QByteArray& host) {
    return m_watches.removeIf([&](const Watch& w) { return w.host == host; }) > 0;
}

void SlotWatch::clear() {
    m_watches.clear();
}

bool SlotWatch::isWatched(const QByteArray& host) const {
    return std::any_of(m_watches.cbegin(), m_watches.cend(),
                       [&](const Watch& w) { return w.host == host; });
}

QList<QByteArray> SlotWatch::hosts() const {
    QList<QByteArray> names;
    for (const Watch& w : m_watches)
        names.append(w.host);
    return names;
}

SlotWatch::Change SlotWatch::update(const HostList& hosts, const TrackTable& tracks) {
    Change change;
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        const HostRecord* record = FindListedHost(hosts, it->host);
        if (!record) {
            change.left.append(it->host);
            it = m_watches.erase(it);
            continue;
        }
        const bool free = record->racerCount < record->maxPlayers();
        if (free && !it->told)
            change.freed.append(HostSeen::of(*record, tracks));
        it->told = free;
        ++it;
    }
    return change;
}

// Each text in one pass: a host name may hold "%1" itself.
QString SlotFreeText(const HostSeen& seen) {
    return QStringLiteral("A slot is free on %1 (%2, %3/%4)")
        .arg(ToDisplay(seen.host), ToDisplay(seen.track), QString::number(seen.racers),
             QString::number(seen.limit));
}

QString SlotWatchLeftText(const QByteArray& host) {
    return QStringLiteral("%1 left the list; its watch ended").arg(ToDisplay(host));
}

QString FavouriteWokeText(const HostSeen& seen) {
    const QString text = seen.racers == 1 ? QStringLiteral("%1 has %2 racer (%3)")
                                          : QStringLiteral("%1 has %2 racers (%3)");
    return text.arg(ToDisplay(seen.host), QString::number(seen.racers), ToDisplay(seen.track));
}
