#pragma once

#include "FavouriteWake.h"
#include "SlotWatch.h"

#include <QObject>
#include <QSet>

class Desktop;
class GameWatch;
class Launcher;
class MateTray;
class Notifier;
class ProgramSettings;
class QMenu;
class RefreshController;
class ServerFinder;
class ServerListView;

// The slot watches and the favourite hosts that wake up. After each refresh it asks the
// presence library what to tell, tells it through the notifications (or joins at once,
// where the user chose so), marks the watched rows and keeps the row menu's and the tray's
// items in step. Every notification's "Join" comes here and joins as the row's Join does.
class HostWatches : public QObject {
    Q_OBJECT
public:
    struct Context {
        RefreshController* refresh = nullptr;
        GameWatch* game = nullptr;
        Launcher* launcher = nullptr;
        Desktop* desktop = nullptr;
        Notifier* notifier = nullptr;
        ServerListView* view = nullptr;
        MateTray* tray = nullptr;
        ServerFinder* finder = nullptr;
        const ProgramSettings* settings = nullptr;
        const TrackTable* tracks = nullptr; // those of the list shown
    };

    explicit HostWatches(Context context, QObject* parent = nullptr);

    const SlotWatch& slotWatch() const { return m_slots; }
    // Watches a host of the list; beeps when no watch can start.
    void watch(const QByteArray& host);
    void cancel(const QByteArray& host);
    // Joins the host as the row's Join does, the password rule included.
    void join(const QByteArray& host);
    // The row menu's "Join when a slot frees" for a full host, checked while it is watched.
    void addRowItem(QMenu& menu, const HostRecord& host);

private:
    void followList();
    void tellFreed(const QList<HostSeen>& freed);
    void endAll();
    // The rows and the tray follow the watches and the list.
    void changed();
    QString noMoreReason() const;

    Context m_c;
    SlotWatch m_slots;
    FavouriteWake m_wake;
};
