#pragma once

// A reproducible host list and roster for the benchmarks: many empty hosts, the rest
// with 1 to 32 racers, now and then one of the roster's mates among them.
#include "HostListBuilder.h"
#include "MateRecord.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace benchworld {

constexpr int Groups = 20;
constexpr int MatesPerGroup = 50;
constexpr int Mates = Groups * MatesPerGroup;

// A small linear congruential generator: the same world on every run.
class Lcg {
public:
    explicit Lcg(quint32 seed) : m_state(seed) {}
    quint32 next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint32 m_state;
};

inline QByteArray numbered(const char* prefix, int n) {
    return QByteArray(prefix) + QByteArray::number(n).rightJustified(5, '0');
}

inline QByteArray mateName(int n) {
    return numbered("Mate", n);
}

// Track keys of Tracks.data (site, configuration, reverse), a few unknown ones too.
inline void pickTrack(Lcg& rng, FakeHost& host) {
    static constexpr quint8 keys[][3] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0},
                                         {2, 0, 0}, {3, 0, 0}, {4, 1, 0}, {5, 2, 1}, {9, 9, 9}};
    const auto& k = keys[rng.below(int(std::size(keys)))];
    host.at(k[0], k[1], k[2]);
}

inline QList<FakeHost> makeHosts(int count, quint32 seed = 7) {
    static constexpr quint32 carMasks[] = {0x3FFFF, 0x07FF, 0x0001, 0x0003, 0x3F000, 0x0};
    static constexpr quint8 limits[] = {12, 16, 20, 24, 32, 47};
    Lcg rng(seed);
    QList<FakeHost> hosts;
    hosts.reserve(count);
    int racer = 0;
    for (int h = 0; h < count; ++h) {
        FakeHost host(numbered(h % 4 == 0 ? "^1Fast ^7Racers " : "Host ", h));
        pickTrack(rng, host);
        host.version(h % 97 == 0 ? 0 : (h % 5 == 0 ? 1 : 2))
            .limit(h % 89 == 0 ? 0 : limits[rng.below(int(std::size(limits)))])
            .cars(carMasks[rng.below(int(std::size(carMasks)))])
            .withRules(quint8(rng.below(128)))
            .withLaps(quint8(rng.below(100)))
            .quali(quint8(rng.below(60)));
        // Most public hosts stand empty; the others hold 1 to 32 racers.
        const int racers = rng.below(100) < 55 ? 0 : 1 + rng.below(32);
        QList<QByteArray> names;
        names.reserve(racers);
        for (int j = 0; j < racers; ++j) {
            if (j == 0 && h % 40 == 1)
                names << mateName((h / 40 * 13) % Mates);
            else
                names << numbered("Racer name that is long", ++racer).right(24);
        }
        host.with(std::move(names));
        hosts << host;
    }
    return hosts;
}

inline QByteArray makeReply(int count) {
    return PackHosts(makeHosts(count));
}

// 1,000 mates in 20 groups, one profile file per group; every third mate without a nick.
inline bool writeRoster(const QString& groupsDir) {
    for (int g = 0; g < Groups; ++g) {
        QFile file(groupsDir + QStringLiteral("/Group %1.profile").arg(g));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int m = 0; m < MatesPerGroup; ++m) {
            const int n = g * MatesPerGroup + m;
            const QByteArray nick = n % 3 ? numbered("Nick", n) : QByteArray();
            if (file.write(MateRecord::make(mateName(n), nick, "Team", "http://example.invalid/")
                               .bytes()) != MateRecord::Size)
                return false;
        }
    }
    return true;
}

} // namespace benchworld
