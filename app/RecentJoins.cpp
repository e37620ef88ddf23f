#include "RecentJoins.h"

#include "Desktop.h"
#include "ErrorHandler.h"
#include "Launcher.h"
#include "MateTray.h"
#include "PelmarkError.h"
#include "PlainText.h"
#include "ServerFinder.h"
#include "ServerListView.h"
#include "SingleByteText.h"

#include <QDateTime>
#include <QHash>
#include <QMenu>

RecentJoins::RecentJoins(Context context, QObject* parent)
    : QObject(parent), m_c(std::move(context)),
      m_hosts(m_c.dataDir + QStringLiteral("RecentHosts.json")) {
    m_hosts.load();
    m_c.launcher->addJoinFollower([this](const QByteArray& host) { joined(host); });
    m_c.finder->addRowMenuPart(ServerFinder::MenuPlace::End,
                               [this](QMenu& menu, const HostRecord&) {
                                   fillMenu(*menu.addMenu(QStringLiteral("Recent hosts")));
                               });
    connect(m_c.tray, &MateTray::recentJoinRequested, this, &RecentJoins::join);
    // Every refresh refills the rows: the hosts online and their players change with it.
    connect(&m_c.view->rows(), &QAbstractItemModel::modelReset, this,
            [this] { m_c.tray->setRecentHosts(entries()); });
    tell();
}

QList<QPair<QByteArray, QString>> RecentJoins::entries() const {
    const QSet<QByteArray> names = m_hosts.names();
    const ServerListModel& rows = m_c.view->rows();
    QHash<QByteArray, int> online; // host name -> its first row
    for (int row = 0; row < rows.rowCount() && online.size() < names.size(); ++row) {
        const QByteArray& name = rows.host(row).name;
        if (names.contains(name) && !online.contains(name))
            online.insert(name, row);
    }
    QList<QPair<QByteArray, QString>> shown;
    QList<QPair<QByteArray, QString>> offline;
    const QString dash = QStringLiteral(" \u2014 ");
    for (const RecentHost& host : m_hosts.hosts()) {
        const QString name = ToDisplay(host.name);
        const auto row = online.constFind(host.name);
        if (row == online.constEnd()) {
            offline.append({host.name, name + dash + QStringLiteral("offline")});
            continue;
        }
        shown.append({host.name, name + dash + rows.text(*row, ServerListModel::PlayersColumn) +
                                     QStringLiteral(", ") +
                                     rows.text(*row, ServerListModel::TrackColumn)});
    }
    return shown + offline;
}

void RecentJoins::fillMenu(QMenu& menu) const {
    for (const auto& [host, text] : entries()) {
        connect(menu.addAction(MenuText(text)), &QAction::triggered, this,
                [this, h = host] { join(h); });
    }
    if (menu.isEmpty())
        menu.addAction(QStringLiteral("No host joined yet"))->setEnabled(false);
}

void RecentJoins::join(const QByteArray& host) const {
    Guarded(*m_c.desktop, [&] { m_c.launcher->JoinHost(host); });
}

void RecentJoins::joined(const QByteArray& host) {
    m_hosts.add(host, QDateTime::currentDateTime());
    tell();
    Guarded(*m_c.desktop, [&] {
        if (!m_hosts.save())
            throw PelmarkError(ErrorText::CannotWrite(m_hosts.path()), PelmarkError::Kind::File);
    });
}

// The list changed: the standing filter and the tray follow.
void RecentJoins::tell() {
    m_c.finder->setRecentHosts(m_hosts.names());
    m_c.tray->setRecentHosts(entries());
}
