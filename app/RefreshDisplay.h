#pragma once

#include "ListFreshness.h"
#include "TrackNaming.h"

#include <QString>

class Desktop;
class EmptyListNote;
class MatePresence;
class QLabel;
class ServerFinder;
class ServerListView;
class RefreshController;
struct HostListResult;

// Shows what a refresh came to: a new host list in the rows and the counters, anything
// else in the empty list's note and then in the tray while the window is out of sight,
// or in a box. How fresh the rows are is said beside them, in the tray and to a screen
// reader after every refresh.
class RefreshDisplay {
public:
    struct Parts {
        ServerListView* list = nullptr;
        QLabel* serverCount = nullptr; // lSvrCount
        QLabel* occupied = nullptr;    // lOccupied
        QLabel* players = nullptr;     // lPlayersOnline
        EmptyListNote* note = nullptr;
        MatePresence* presence = nullptr;
        ServerFinder* finder = nullptr;
        const RefreshController* refresh = nullptr;
        Desktop* desktop = nullptr;
        QString tracksPath;
    };

    explicit RefreshDisplay(Parts parts) : m_parts(std::move(parts)) {}

    // False when a failed transfer was told in a box (what follows a refresh then waits
    // for the next one).
    bool show(const HostListResult& result, const QTime& now = QTime::currentTime());
    // The first request whose ident key was not sent: said once, as the user must mend it.
    void identKeyRejected();
    // The track names of the last list shown, read once per refresh for its readers.
    const TrackTable& tracks() const { return m_tracks; }

private:
    void fillRows(const HostList& hosts);
    void showFreshness();

    Parts m_parts;
    TrackTable m_tracks;
    ListFreshness m_freshness;
};
