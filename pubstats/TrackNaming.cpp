#include "TrackNaming.h"

QByteArray TrackKey(const HostRecord& host) {
    QByteArray key;
    for (int i = 0; i < 3; ++i)
        key += QByteArray::number(host.track[i]);
    return key;
}

TrackTable TrackTable::load(const QString& tracksDataPath) {
    TrackTable table;
    table.m_doc = IniFile(tracksDataPath).load();
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

QByteArray CarsText(const HostRecord& host) {
    static constexpr const char* codes[18] = {"XFG", "XRG", "XRT", "RB4", "FXO", "LX4",
                                              "LX6", "MRT", "UF1", "RAC", "FZ5", "FOX",
                                              "XFR", "UFR", "FO8", "FXR", "XRR", "FZR"};
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
    const quint32 mask =
        host.carMask[0] | (quint32(host.carMask[1]) << 8) | (quint32(host.carMask[2]) << 16);
    QByteArray text;
    for (int bit = 0; bit < 18; ++bit) {
        if (mask & (1u << bit)) {
            text += codes[bit];
            text += ',';
        }
    }
    if (!text.isEmpty())
        text.chop(1);
    for (const CarSet& s : sets)
        if (text == s.list)
            return QByteArray(s.name);
    return text;
}
