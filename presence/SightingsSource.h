#pragma once

#include "Sightings.h"
#include "TrackNaming.h"

#include <QObject>

class QuillonPubStats;

// Keeps the one answer to who of the roster races where: made anew whenever the roster
// says it changed (before the commands that changed it tell their followers, so that a
// mate added to the tree finds his own sighting) and after each new host list, and
// handed to the readers through changed().
class SightingsSource : public QObject {
    Q_OBJECT
public:
    // stats: the roster; hosts: the host list of the last refresh.
    SightingsSource(const QuillonPubStats& stats, const HostList& hosts, QObject* parent = nullptr);
    // The track names of the last list shown; without them every track is "n/a".
    void setTracks(const TrackTable* tracks) { m_tracks = tracks; }

    const Sightings& current() const { return m_current; }
    // After a new host list or a new roster: made from the lists as they are now.
    const Sightings& remake();

Q_SIGNALS:
    void changed(const Sightings& sightings);

private:
    const QuillonPubStats& m_stats;
    const HostList& m_hosts;
    const TrackTable* m_tracks = nullptr;
    TrackTable m_noTracks;
    RosterIndex m_index; // the roster's half, made again only when the roster changed
    quint64 m_indexRevision = 0;
    bool m_indexed = false;
    Sightings m_current;
};
