#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// A host record as the decoder makes it, with its racers in their zero-padded slots.
inline HostRecord Host(QByteArrayView name, const QList<QByteArray>& racers, quint8 versionType = 2,
                       bool isPrivate = false) {
    HostRecord h;
    h.name = name.toByteArray();
    h.version[0] = versionType;
    h.track[3] = 24;
    h.rules[0] = isPrivate ? 8 : 0;
    h.racerCount = quint8(racers.size());
    for (const QByteArray& r : racers) {
        QByteArray slot(HostRecord::RacerNameSize, '\0');
        slot.replace(0, r.size(), r);
        h.racerNames += slot;
    }
    return h;
}
