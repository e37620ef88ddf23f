#pragma once

#include "RecentHosts.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class Desktop;
class Launcher;
class MateTray;
class QMenu;
class ServerFinder;
class ServerListView;

// The hosts the user joined lately: every join the launcher starts is remembered here and
// kept in the data folder; the row menu and the tray offer them again as "Recent hosts",
// and one of the standing filters keeps their rows.
class RecentJoins : public QObject {
    Q_OBJECT
public:
    struct Context {
        Launcher* launcher = nullptr;
        ServerFinder* finder = nullptr;
        MateTray* tray = nullptr;
        const ServerListView* view = nullptr; // its rows tell which hosts are online now
        Desktop* desktop = nullptr;
        QString dataDir;
    };

    explicit RecentJoins(Context context, QObject* parent = nullptr);

    const RecentHosts& hosts() const { return m_hosts; }
    // The menus' entries, host name and text: those online now first, "HOST — 05/12,
    // TRACK", then the others, "HOST — offline"; each part newest first.
    QList<QPair<QByteArray, QString>> entries() const;
    // Fills a "Recent hosts" submenu whose entries join their hosts.
    void fillMenu(QMenu& menu) const;

private:
    void join(const QByteArray& host) const;
    void joined(const QByteArray& host);
    void tell();

    Context m_c;
    RecentHosts m_hosts;
};
