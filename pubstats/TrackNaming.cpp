#include "TrackNaming.h"

#include <array>
#include <cstring>

QByteArray TrackKey(const HostRecord& host) {
    // Formed for every row of every refresh: digits written into place.
    char key[9];
    char* end = key;
    for (int i = 0; i < 3; ++i) {
        const int v = host.track[i];
        if (v >= 100)
            *end++ = char('0' + v / 100);
        if (v >= 10)
            *end++ = char('0' + v / 10 % 10);
        *end++ = char('0' + v % 10);
    }
    return QByteArray(key, end - key);
}

namespace {

// The shipped table is a few kilobytes; a user's own with every layout of every track
// stays far below this.
constexpr qint64 MaxTracksDataBytes = 4 * 1024 * 1024;

} // namespace

TrackTable TrackTable::load(const QString& tracksDataPath) {
    TrackTable table;
    table.m_doc = IniFile(tracksDataPath).load(MaxTracksDataBytes);
    return table;
}

QByteArray TrackTable::TrackName(const HostRecord& host) const {
    const QByteArray key = TrackKey(host);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return *it;
    QByteArray name = m_doc.value(key, "Name").value_or(QByteArrayLiteral("n/a"));
    if (name.size() > IniFile::MaxStringLength)
        name.truncate(IniFile::MaxStringLength);
    m_cache.insert(key, name);
    return name;
}

namespace {

constexpr const char* CarCodes[18] = {"XFG", "XRG", "XRT", "RB4", "FXO", "LX4",
                                      "LX6", "MRT", "UF1", "RAC", "FZ5", "FOX",
                                      "XFR", "UFR", "FO8", "FXR", "XRR", "FZR"};
constexpr quint32 AllCarBits = (1u << 18) - 1;

QByteArray carList(quint32 mask) {
    QByteArray text;
    text.reserve(18 * 4);
    for (int bit = 0; bit < 18; ++bit) {
        if (mask & (1u << bit)) {
            text += CarCodes[bit];
            text += ',';
        }
    }
    if (!text.isEmpty())
        text.chop(1);
    return text;
}

} // namespace

QByteArray CarsText(const HostRecord& host) {
    struct CarSet {
        const char* list;
        const char* name;
    };
    static constexpr CarSet sets[] = {
        {"XFG,XRG,XRT,RB4,FXO,LX4,LX6,MRT,UF1,RAC,FZ5,FOX,XFR,UFR,FO8,FXR,XRR,FZR",
         "All cars allowed"},
        {"XFG,XRG,XRT,RB4,FXO,LX4,LX6,UF1,RAC,FZ5,XFR,UFR,FXR,XRR,FZR",
         "All cars without formula cars and MRT5"},
        {"XFG,XRG,XRT,RB4,FXO,LX4,LX6,MRT,UF1,RAC,FZ5,XFR,UFR,FXR,XRR,FZR",
         "All cars without formula cars"},
        {"XFG,XRG,XRT,RB4,FXO,LX4,LX6,MRT,UF1,RAC,FZ5", "Only street cars with MRT5"},
        {"XFG,XRG,XRT,RB4,FXO,LX4,LX6,UF1,RAC,FZ5", "Only street cars"},
    };
    // The mask whose list reads exactly like each set's; this runs for every row, and
    // comparing masks spares building the list for hosts that allow a whole set.
    static const auto setMasks = [] {
        std::array<quint32, std::size(sets)> masks{};
        for (std::size_t i = 0; i < std::size(sets); ++i) {
            for (int bit = 0; bit < 18; ++bit)
                if (std::strstr(sets[i].list, CarCodes[bit]))
                    masks[i] |= 1u << bit;
            if (carList(masks[i]) != sets[i].list)
                masks[i] = ~0u; // no mask matches a list out of bit order
        }
        return masks;
    }();
    const quint32 mask =
        (host.carMask[0] | (quint32(host.carMask[1]) << 8) | (quint32(host.carMask[2]) << 16)) &
        AllCarBits;
    for (std::size_t i = 0; i < std::size(sets); ++i)
        if (mask == setMasks[i])
            return QByteArray(sets[i].name);
    return carList(mask);
}

QByteArray AllowedCarCodes(const HostRecord& host) {
    return carList(
        (host.carMask[0] | (quint32(host.carMask[1]) << 8) | (quint32(host.carMask[2]) << 16)) &
        AllCarBits);
}
