#include "HostWatches.h"

#include "Desktop.h"
#include "ErrorHandler.h"
#include "GameWatch.h"
#include "Launcher.h"
#include "MateTray.h"
#include "Notifier.h"
#include "ProgramSettings.h"
#include "RefreshController.h"
#include "ServerFinder.h"
#include "ServerListView.h"
#include "SingleByteText.h"

#include <QMenu>

namespace {
const QString WatchItemText = QStringLiteral("Join when a slot frees");
} // namespace

HostWatches::HostWatches(Context context, QObject* parent)
    : QObject(parent), m_c(std::move(context)) {
    // Followed once the window has shown the new list: the rows and track names are those
    // of this refresh, and a box a join opens comes over the new list.
    connect(m_c.refresh, &RefreshController::refreshed, this, [this](const HostListResult& r) {
        if (r.hasList())
            QMetaObject::invokeMethod(this, &HostWatches::followList, Qt::QueuedConnection);
    });
    connect(m_c.game, &GameWatch::runningChanged, this, [this](bool running) {
        if (running)
            endAll();
    });
    m_c.launcher->addJoinFollower([this](const QByteArray&) { endAll(); });
    connect(m_c.notifier, &Notifier::joinRequested, this,
            [this](const QString& key) { join(FromDisplay(key)); });
    connect(m_c.tray, &MateTray::slotWatchRequested, this, &HostWatches::watch);
    connect(m_c.tray, &MateTray::slotWatchCancelled, this, &HostWatches::cancel);
    // A favourite set or unset changes what the tray offers.
    connect(m_c.finder, &ServerFinder::favouritesOnline, this, &HostWatches::changed);
    m_c.finder->addRowMenuPart(
        ServerFinder::MenuPlace::AfterJoin,
        [this](QMenu& menu, const HostRecord& host) { addRowItem(menu, host); });
}

QString HostWatches::noMoreReason() const {
    if (m_slots.canStartMore())
        return {};
    return QStringLiteral("%1 hosts are watched already: cancel one of those watches first")
        .arg(SlotWatch::MaxWatches);
}

void HostWatches::watch(const QByteArray& host) {
    if (!m_slots.start(host)) {
        m_c.desktop->beep();
        return;
    }
    changed();
}

void HostWatches::cancel(const QByteArray& host) {
    if (m_slots.cancel(host))
        changed();
}

void HostWatches::endAll() {
    if (m_slots.hosts().isEmpty())
        return;
    m_slots.clear();
    changed();
}

void HostWatches::join(const QByteArray& host) {
    Guarded(*m_c.desktop, [&] { m_c.launcher->JoinHost(host); });
}

void HostWatches::addRowItem(QMenu& menu, const HostRecord& host) {
    if (host.racerCount < host.maxPlayers())
        return; // the menus of hosts with a free slot stay as they are
    const bool watched = m_slots.isWatched(host.name);
    QAction* item = menu.addAction(WatchItemText);
    item->setCheckable(true);
    item->setChecked(watched);
    // A name of colour codes only cannot be found again in the next list.
    item->setEnabled(watched || (!host.name.isEmpty() && m_slots.canStartMore()));
    item->setToolTip(watched ? QString() : noMoreReason());
    menu.setToolTipsVisible(true);
    const QByteArray name = host.name;
    connect(item, &QAction::toggled, this,
            [this, name](bool on) { on ? watch(name) : cancel(name); });
}

void HostWatches::followList() {
    const HostList& hosts = m_c.refresh->hosts();
    const SlotWatch::Change change = m_slots.update(hosts, *m_c.tracks);
    for (const QByteArray& host : change.left)
        m_c.notifier->notify(SlotWatchTitle(), {SlotWatchLeftText(host)}, ToDisplay(host));
    m_wake.setRacers(m_c.settings->options.favouriteRacers);
    const QList<HostSeen> woken =
        m_wake.update(hosts, m_c.finder->favourites().hosts(), *m_c.tracks);
    for (const HostSeen& seen : woken)
        m_c.notifier->notify(FavouriteWokeTitle(), {FavouriteWokeText(seen)}, ToDisplay(seen.host),
                             true);
    changed();
    tellFreed(change.freed);
}

void HostWatches::tellFreed(const QList<HostSeen>& freed) {
    if (freed.isEmpty())
        return;
    if (m_c.settings->options.joinFreedSlot) {
        // The first free host is joined, and the join ends every watch. One the user turns
        // down (the password box) ends this host's watch only: the others are told.
        const QByteArray host = freed.first().host;
        cancel(host);
        join(host);
    }
    for (const HostSeen& seen : freed) {
        if (m_slots.isWatched(seen.host))
            m_c.notifier->notify(SlotWatchTitle(), {SlotFreeText(seen)}, ToDisplay(seen.host),
                                 true);
    }
}

void HostWatches::changed() {
    const QList<QByteArray> watched = m_slots.hosts();
    m_c.view->rows().setWatched(QSet<QByteArray>(watched.cbegin(), watched.cend()));
    // The full favourites of the list, for the tray's offer; the first row of a name counts.
    QSet<QByteArray> full;
    QSet<QByteArray> seen;
    const QSet<QByteArray>& favourites = m_c.finder->favourites().hosts();
    for (const HostRecord& host : m_c.refresh->hosts()) {
        if (!host.isListed() || !favourites.contains(host.name) || seen.contains(host.name))
            continue;
        seen.insert(host.name);
        if (host.racerCount >= host.maxPlayers())
            full.insert(host.name);
    }
    m_c.tray->setSlotWatches(watched, full, noMoreReason());
}
