#include "RefreshDisplay.h"

#include "Desktop.h"
#include "EmptyListNote.h"
#include "ErrorHandler.h"
#include "FreshnessLabel.h"
#include "HostListQuery.h"
#include "MatePresence.h"
#include "MateTray.h"
#include "RefreshController.h"
#include "ServerFinder.h"
#include "ServerListView.h"

#include <QLabel>

bool RefreshDisplay::show(const HostListResult& result, const QTime& now) {
    if (result.hasList()) {
        m_freshness.updated(now);
        showFreshness();
        m_parts.note->succeeded();
        fillRows(result.hosts);
        return true;
    }
    m_freshness.failed(result.message, now);
    showFreshness();
    if (result.outcome == HostListResult::Outcome::ServiceText)
        m_parts.note->serviceAnswered(result.message);
    else
        m_parts.note->failed(result.message, m_parts.refresh->nextTickTime());
    // Boxes at every tick while the window is out of sight help nobody: the tray tells,
    // and the boxes come back once the window shows.
    if (m_parts.presence->hiddenInTray())
        return true;
    if (result.error) {
        m_parts.desktop->showError(StandardErrorText(result.message));
        return false;
    }
    m_parts.desktop->showMessage(result.message);
    return true;
}

void RefreshDisplay::showFreshness() {
    m_parts.finder->lFreshness->setFreshness(m_freshness);
    m_parts.note->setFreshness(m_freshness.text());
    m_parts.presence->tray()->setFreshness(m_freshness);
}

void RefreshDisplay::fillRows(const HostList& hosts) {
    m_tracks = TrackTable::load(m_parts.tracksPath);
    ServerListView* list = m_parts.list;
    list->setUpdatesEnabled(false);
    // One reset; the order follows in the proxy before anything is painted.
    const ServerListModel::Counts counts = list->rows().refill(hosts, m_tracks);
    m_parts.finder->rowsRefilled();
    list->setUpdatesEnabled(true);
    // Laid out now, before the repaint: a layout the view leaves for later comes after
    // that repaint and paints the whole list a second time.
    list->doItemsLayout();

    m_parts.serverCount->setText(QStringLiteral("Servers online: %1").arg(counts.rows));
    m_parts.occupied->setText(QStringLiteral("Servers occupied: %1").arg(counts.occupied));
    m_parts.players->setText(QStringLiteral("Players online: %1").arg(counts.players));
}

void RefreshDisplay::identKeyRejected() {
    m_parts.desktop->showMessage(QStringLiteral("The ident key in the settings file is not valid "
                                                "(letters and digits, at most %1), so it is not "
                                                "sent.")
                                     .arg(MaxIdentKeyLength));
}
