#pragma once

#include <QByteArray>
#include <QList>

// Builds packed host-list replies byte for byte, for tests, benchmarks and fuzz seeds.
struct FakeHost {
    QByteArray name;
    quint8 versionType = 2;
    quint8 track[3] = {0, 0, 0};
    quint8 maxPlayers = 24;
    quint32 carMask = 0;
    quint8 rules = 0;
    quint8 laps = 5;
    quint8 qualifying = 0;
    QList<QByteArray> racers;
    int racerCount = -1; // -1: the number of racers given

    explicit FakeHost(QByteArray hostName = {}) : name(std::move(hostName)) {}
    FakeHost& version(quint8 v) {
        versionType = v;
        return *this;
    }
    FakeHost& at(quint8 a, quint8 b, quint8 c) {
        track[0] = a;
        track[1] = b;
        track[2] = c;
        return *this;
    }
    FakeHost& limit(quint8 v) {
        maxPlayers = v;
        return *this;
    }
    FakeHost& cars(quint32 v) {
        carMask = v;
        return *this;
    }
    FakeHost& withRules(quint8 v) {
        rules = v;
        return *this;
    }
    FakeHost& withLaps(quint8 v) {
        laps = v;
        return *this;
    }
    FakeHost& quali(quint8 v) {
        qualifying = v;
        return *this;
    }
    FakeHost& with(QList<QByteArray> names) {
        racers = std::move(names);
        return *this;
    }
    FakeHost& claim(int count) {
        racerCount = count;
        return *this;
    }
};

inline QByteArray PackHost(const FakeHost& h) {
    QByteArray e(53, '\0');
    e.replace(0, qMin<qsizetype>(h.name.size(), 32), h.name.left(32));
    e[32] = char(h.versionType);
    e[33] = 0x30;
    e[34] = 0x12;
    e[35] = 0x01;
    e[36] = char(h.track[0]);
    e[37] = char(h.track[1]);
    e[38] = char(h.track[2]);
    e[39] = char(h.maxPlayers);
    for (int i = 0; i < 4; ++i)
        e[40 + i] = char((h.carMask >> (8 * i)) & 0xFF);
    e[44] = char(h.rules);
    e[48] = char(h.laps);
    e[49] = char(h.qualifying);
    e[52] = char(h.racerCount >= 0 ? h.racerCount : h.racers.size());
    for (const QByteArray& r : h.racers) {
        QByteArray slot(24, '\0');
        slot.replace(0, qMin<qsizetype>(r.size(), 24), r.left(24));
        e += slot;
    }
    return e;
}

inline QByteArray PackHosts(const QList<FakeHost>& hosts) {
    QByteArray reply;
    for (const FakeHost& h : hosts)
        reply += PackHost(h);
    return reply;
}
