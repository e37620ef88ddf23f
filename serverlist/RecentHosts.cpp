#include "RecentHosts.h"

#include "BoundedFile.h"
#include "SingleByteText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <optional>

namespace {
const QString HostsKey = QStringLiteral("hosts");
const QString NameKey = QStringLiteral("name");
const QString JoinedKey = QStringLiteral("joined");
// A host name is at most 32 bytes on the wire; anything longer is no host of the list.
constexpr qsizetype MaxNameBytes = 64;

// In UTC to the second, as the file keeps it; nothing for a time the file cannot hold.
std::optional<QDateTime> fileTime(const QDateTime& time) {
    const QDateTime utc = time.toUTC();
    if (!utc.isValid() || utc.date().year() < 1 || utc.date().year() > 9999)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(utc.toSecsSinceEpoch(), Qt::UTC);
}

} // namespace

void RecentHosts::load() {
    if (!read(ReadJsonObjectFile(m_path, MaxFileBytes)))
        KeepDamagedCopy(m_path);
}

bool RecentHosts::read(const QJsonObject& root) {
    m_hosts.clear();
    const QJsonValue list = root.value(HostsKey);
    bool whole = list.isArray() || list.isUndefined();
    QSet<QByteArray> seen;
    for (const QJsonValue& value : list.toArray()) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value(NameKey).toString();
        const std::optional<QDateTime> joined =
            fileTime(QDateTime::fromString(entry.value(JoinedKey).toString(), Qt::ISODate));
        const QByteArray host = FromDisplay(name.left(MaxNameBytes + 1));
        const bool usable = !host.isEmpty() && host.size() <= MaxNameBytes && joined &&
                            !seen.contains(host) && m_hosts.size() < MaxHosts;
        if (usable) {
            m_hosts.append({host, *joined});
            seen.insert(host);
        } else {
            whole = false;
        }
    }
    return whole;
}

QJsonObject RecentHosts::toJson() const {
    QJsonArray hosts;
    for (const RecentHost& host : m_hosts) {
        hosts.append(QJsonObject{{NameKey, ToDisplay(host.name)},
                                 {JoinedKey, host.joined.toString(Qt::ISODate)}});
    }
    return QJsonObject{{HostsKey, hosts}};
}

bool RecentHosts::save() const {
    return WriteWholeFile(m_path, QJsonDocument(toJson()).toJson());
}

void RecentHosts::add(const QByteArray& host, const QDateTime& joined) {
    const std::optional<QDateTime> time = fileTime(joined);
    if (host.isEmpty() || host.size() > MaxNameBytes || !time)
        return; // no host of the list: a read would drop it again
    m_hosts.removeIf([&](const RecentHost& known) { return known.name == host; });
    m_hosts.prepend({host, *time});
    if (m_hosts.size() > MaxHosts)
        m_hosts.resize(MaxHosts);
}

QSet<QByteArray> RecentHosts::names() const {
    QSet<QByteArray> names;
    for (const RecentHost& host : m_hosts)
        names.insert(host.name);
    return names;
}
