#include "SightingsSource.h"

#include "QuillonPubStats.h"
#include "TrackNaming.h"

SightingsSource::SightingsSource(const QuillonPubStats& stats, const HostList& hosts,
                                 QObject* parent)
    : QObject(parent), m_stats(stats), m_hosts(hosts) {
    connect(&stats, &QuillonPubStats::changed, this, &SightingsSource::remake);
}

const Sightings& SightingsSource::remake() {
    // Every refresh reads the roster from its files again; mostly it is what it was.
    if (!m_indexed || m_indexRevision != m_stats.revision()) {
        m_index = RosterIndex(m_stats.mates());
        m_indexRevision = m_stats.revision();
        m_indexed = true;
    }
    m_current = Sightings::make(m_index, m_hosts, m_tracks ? *m_tracks : m_noTracks);
    Q_EMIT changed(m_current);
    return m_current;
}
