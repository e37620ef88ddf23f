#include "FavouriteHosts.h"

#include "BoundedFile.h"
#include "SingleByteText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {
const QString HostsKey = QStringLiteral("hosts");
// A host name is at most 32 bytes on the wire; anything longer is no host of the list.
constexpr qsizetype MaxNameBytes = 64;
} // namespace

void FavouriteHosts::load() {
    m_hosts.clear();
    const QJsonArray hosts = ReadJsonObjectFile(m_path, MaxFileBytes).value(HostsKey).toArray();
    for (const QJsonValue& value : hosts) {
        const QByteArray name = FromDisplay(value.toString());
        if (!name.isEmpty() && name.size() <= MaxNameBytes && m_hosts.size() < MaxHosts)
            m_hosts.insert(name);
    }
}

bool FavouriteHosts::save() const {
    QList<QByteArray> sorted(m_hosts.begin(), m_hosts.end());
    std::sort(sorted.begin(), sorted.end());
    QJsonArray hosts;
    for (const QByteArray& name : std::as_const(sorted))
        hosts.append(ToDisplay(name));
    return WriteWholeFile(m_path, QJsonDocument(QJsonObject{{HostsKey, hosts}}).toJson());
}

bool FavouriteHosts::set(const QByteArray& host, bool favourite) {
    if (!favourite) {
        m_hosts.remove(host);
        return true;
    }
    if (!m_hosts.contains(host) && m_hosts.size() >= MaxHosts)
        return false;
    m_hosts.insert(host);
    return true;
}
