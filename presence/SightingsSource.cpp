#include "SightingsSource.h"

#include "QuillonPubStats.h"
#include "RosterCommands.h"
#include "TrackNaming.h"

SightingsSource::SightingsSource(const QuillonPubStats& stats, const HostList& hosts,
                                 QObject* parent)
    : QObject(parent), m_stats(stats), m_hosts(hosts) {}

void SightingsSource::follow(const RosterCommands& commands) {
    const auto again = [this] { remake(); };
    connect(&commands, &RosterCommands::groupDeleted, this, again);
    connect(&commands, &RosterCommands::mateAdded, this, again);
    connect(&commands, &RosterCommands::mateDeleted, this, again);
    connect(&commands, &RosterCommands::mateChanged, this, again);
}

const Sightings& SightingsSource::remake() {
    // Every refresh reads the roster from its files again; mostly it is what it was.
    if (m_index.roster() != m_stats.mates)
        m_index = RosterIndex(m_stats.mates);
    m_current = Sightings::make(m_index, m_hosts, m_tracks ? *m_tracks : m_noTracks);
    Q_EMIT changed(m_current);
    return m_current;
}
