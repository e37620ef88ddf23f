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
    if (!read(ReadJsonObjectFile(m_path, MaxFileBytes)))
        KeepDamagedCopy(m_path);
}

bool FavouriteHosts::read(const QJsonObject& root) {
    m_hosts.clear();
    const QJsonValue list = root.value(HostsKey);
    bool whole = list.isArray() || list.isUndefined();
    for (const QJsonValue& value : list.toArray()) {
        const QByteArray name = FromDisplay(value.toString());
        const bool usable = value.isString() && !name.isEmpty() && name.size() <= MaxNameBytes;
        if (usable && (m_hosts.size() < MaxHosts || m_hosts.contains(name)))
            m_hosts.insert(name);
        else
            whole = false;
    }
    return whole;
}

QJsonObject FavouriteHosts::toJson() const {
    QList<QByteArray> sorted(m_hosts.begin(), m_hosts.end());
    std::sort(sorted.begin(), sorted.end());
    QJsonArray hosts;
    for (const QByteArray& name : std::as_const(sorted))
        hosts.append(ToDisplay(name));
    return QJsonObject{{HostsKey, hosts}};
}

bool FavouriteHosts::save() const {
    return WriteWholeFile(m_path, QJsonDocument(toJson()).toJson());
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
