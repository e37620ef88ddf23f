#pragma once

#include "HostRecord.h"
#include "IniFile.h"

#include <QHash>
#include <QString>

// The track key: the three track key bytes in decimal, joined without separator.
QByteArray TrackKey(const HostRecord& host);

// Track names of Tracks.data, read once per refresh: a changed file shows at the
// next refresh. A missing or unreadable file gives "n/a" for every track.
class TrackTable {
public:
    TrackTable() = default;
    static TrackTable load(const QString& tracksDataPath);
    // The Name value of the track key's section, or "n/a".
    QByteArray TrackName(const HostRecord& host) const;

private:
    IniDocument m_doc;
    mutable QHash<QByteArray, QByteArray> m_cache; // key -> name, within one refresh
};

// Car codes of the car mask, or one of the five car-set names; empty without cars.
QByteArray CarsText(const HostRecord& host);
// Every car code the host allows, comma-separated, whatever CarsText calls the set.
QByteArray AllowedCarCodes(const HostRecord& host);
