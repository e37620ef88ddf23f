#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <array>

// One online host as the statistics service lists it.
struct HostRecord {
    static constexpr qsizetype NameSize = 32;
    static constexpr qsizetype RacerNameSize = 24;
    static constexpr qsizetype FixedSize = 53; // an entry without racer names

    QByteArray rawName;              // the 32 name bytes as received, zero padding included
    QByteArray name;                 // colour codes stripped, then trimmed
    std::array<quint8, 4> version{}; // version type, then 3 detail bytes
    std::array<quint8, 4> track{};   // 3 track key bytes, then the player limit
    std::array<quint8, 4> carMask{};
    std::array<quint8, 4> rules{};
    quint8 laps = 0;
    quint8 qualifying = 0;
    std::array<quint8, 2> spare{};
    quint8 racerCount = 0;
    // All racer names back to back, 24 bytes each as received. Every listed racer is
    // kept, also beyond the 23 slots the service's older clients knew.
    QByteArray racerNames;

    quint8 versionType() const { return version[0]; }
    quint8 maxPlayers() const { return track[3]; }
    bool isPrivate() const { return (rules[0] & 8) != 0; }
    bool isS1OrS2() const { return version[0] == 1 || version[0] == 2; }
    bool isListed() const { return isS1OrS2() && maxPlayers() != 0; }
    // Racer slot j as received (24 bytes); empty beyond the racer count.
    QByteArrayView racerSlot(qsizetype j) const {
        if (j < 0 || j >= racerCount)
            return {};
        return QByteArrayView(racerNames).sliced(j * RacerNameSize, RacerNameSize);
    }
};

using HostList = QList<HostRecord>;

// The private flag of the first host with exactly that name; false when none.
inline bool HostNeedsPassword(const HostList& hosts, QByteArrayView hostName) {
    for (const HostRecord& host : hosts) {
        if (host.name == hostName)
            return host.isPrivate();
    }
    return false;
}

// The first listed host (a row of the server list) with exactly that name; null when none.
inline const HostRecord* FindListedHost(const HostList& hosts, QByteArrayView hostName) {
    for (const HostRecord& host : hosts) {
        if (host.isListed() && host.name == hostName)
            return &host;
    }
    return nullptr;
}
