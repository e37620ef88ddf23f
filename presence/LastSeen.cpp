#include "LastSeen.h"

#include "BoundedFile.h"
#include "OnlineMates.h"
#include "SingleByteText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {

constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
// Longer than any host or track name the service sends; a longer one is damage.
constexpr qsizetype MaxNameBytes = 64;

const QString SeenKey = QStringLiteral("seen");
const QString SinceKey = QStringLiteral("since");
const QString HostKey = QStringLiteral("host");
const QString TrackKey = QStringLiteral("track");

QString isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

std::optional<LastSighting> sightingFrom(const QJsonObject& o) {
    LastSighting s;
    s.seen = QDateTime::fromString(o.value(SeenKey).toString(), Qt::ISODate);
    s.since = QDateTime::fromString(o.value(SinceKey).toString(), Qt::ISODate);
    const QString host = o.value(HostKey).toString();
    const QString track = o.value(TrackKey).toString();
    if (!s.seen.isValid() || host.size() > MaxNameBytes || track.size() > MaxNameBytes)
        return std::nullopt;
    if (!s.since.isValid() || s.since > s.seen)
        s.since = s.seen;
    s.host = FromDisplay(host);
    s.track = FromDisplay(track);
    return s;
}

} // namespace

void LastSeenStore::load() {
    read(ReadJsonObjectFile(m_path, MaxFileSize));
}

void LastSeenStore::read(const QJsonObject& root) {
    m_sightings.clear();
    m_online.clear();
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QByteArray name = TrimBytes(FromDisplay(it.key()));
        const std::optional<LastSighting> s = sightingFrom(it.value().toObject());
        if (!name.isEmpty() && s)
            m_sightings.insert(name, *s);
    }
}

bool LastSeenStore::record(const QDateTime& now, const QList<OnlineMate>& online) {
    bool changed = false;
    QSet<QByteArray> seen;
    for (const OnlineMate& mate : online) {
        seen.insert(mate.lfsName);
        LastSighting s{now, now, mate.host.left(MaxNameBytes), mate.track.left(MaxNameBytes)};
        const auto old = m_sightings.constFind(mate.lfsName);
        if (old != m_sightings.constEnd() && m_online.contains(mate.lfsName))
            s.since = old->since;
        if (old == m_sightings.constEnd() || *old != s) {
            const bool onlyLater = old != m_sightings.constEnd() && old->since == s.since &&
                                   old->host == s.host && old->track == s.track;
            (onlyLater ? m_unsaved : m_urgent) = true;
            m_sightings.insert(mate.lfsName, s);
            changed = true;
        }
    }
    if (seen != m_online)
        m_urgent = m_urgent || m_unsaved; // whoever went keeps the last time he was seen
    m_online = seen;
    return changed;
}

bool LastSeenStore::saveIfDue(const QDateTime& now) {
    // A clock put back counts as due: the period would otherwise never end.
    const bool periodOver =
        !m_savedAt.isValid() || m_savedAt > now || m_savedAt.secsTo(now) >= SeenSavePeriod;
    if (!m_urgent && !(m_unsaved && periodOver))
        return true;
    if (!saveUnsaved())
        return false;
    m_savedAt = now;
    return true;
}

bool LastSeenStore::saveUnsaved() {
    if (!m_urgent && !m_unsaved)
        return true;
    if (!save())
        return false;
    m_urgent = m_unsaved = false;
    return true;
}

bool LastSeenStore::save() const {
    return WriteWholeFile(m_path, QJsonDocument(toJson()).toJson());
}

QJsonObject LastSeenStore::toJson() const {
    QJsonObject root;
    for (auto it = m_sightings.begin(); it != m_sightings.end(); ++it) {
        root.insert(ToDisplay(it.key()), QJsonObject{{SeenKey, isoTime(it->seen)},
                                                     {SinceKey, isoTime(it->since)},
                                                     {HostKey, ToDisplay(it->host)},
                                                     {TrackKey, ToDisplay(it->track)}});
    }
    return root;
}

std::optional<LastSighting> LastSeenStore::find(const QByteArray& lfsName) const {
    const auto it = m_sightings.constFind(TrimBytes(lfsName));
    if (it == m_sightings.constEnd())
        return std::nullopt;
    return *it;
}

QString SightingText(const std::optional<LastSighting>& sighting, bool online,
                     const QLocale& locale) {
    if (!sighting)
        return QStringLiteral("Not seen online yet");
    const QString where =
        QStringLiteral("%1 (%2)").arg(ToDisplay(sighting->host), ToDisplay(sighting->track));
    if (online) {
        return QStringLiteral("Online on %1 since %2")
            .arg(where, sighting->since.toLocalTime().toString(QStringLiteral("HH:mm")));
    }
    return QStringLiteral("Last seen %1 on %2")
        .arg(locale.toString(sighting->seen.toLocalTime(), QLocale::ShortFormat), where);
}
