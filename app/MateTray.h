#pragma once

#include "ListFreshness.h"

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;
struct OnlineMate;

// The tray icon, where the desktop has a tray: its picture tells whether any mate is
// online, its menu lists them and joins one's host; its tooltip and menu say how fresh
// the list is, as the line beside the server list does.
class MateTray : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxMenuMates = 20;

    explicit MateTray(QWidget* window, QObject* parent = nullptr);
    ~MateTray() override;

    static constexpr int TrayPollMs = 5000;

    static bool available();
    // Shows the icon while the desktop has a tray, and follows the tray as it comes and goes.
    void show();
    // Asks probe, not the desktop, whether there is a tray, every pollMs.
    void setAvailabilityProbe(std::function<bool()> probe, int pollMs = TrayPollMs);
    bool trayAvailable() const { return m_probe ? m_probe() : available(); }
    bool isVisible() const;

    // The online persons of the last refresh, one menu line each.
    void update(const QList<OnlineMate>& online);
    // The roster's entries online and in all, as the window's "Online mates: x/y" says.
    void setMateCounts(int online, int total);
    // The favourite hosts online now: host name and players text ("05/24").
    void setFavourites(const QList<QPair<QByteArray, QString>>& hosts);
    // The hosts joined lately: host name and the entry's whole text.
    void setRecentHosts(const QList<QPair<QByteArray, QString>>& hosts);
    // The slot watches: the hosts watched now, the full hosts that may be watched (the
    // favourites among them are offered), and the reason no other may start (empty while
    // one may).
    void setSlotWatches(const QList<QByteArray>& watched, const QSet<QByteArray>& full,
                        const QString& noMoreReason);
    // After each refresh. While the refreshes fail, the tooltip, the menu and the picture
    // say so, from the first failure on until a refresh succeeds.
    void setFreshness(const ListFreshness& freshness);
    const ListFreshness& freshness() const { return m_freshness; }
    // The window's refresh and quit commands, offered at the menu's end.
    void setCommands(QAction* refresh, QAction* quit);
    // "Join host by name...", offered after the favourite hosts.
    void setJoinHostByName(QAction* command);
    bool isOffline() const { return m_freshness.isOffline(); }

    QString toolTip() const;
    QIcon icon() const;
    // What the tray shows now; null while there is no icon.
    QIcon shownIcon() const;
    // Up to date with everything told so far.
    QMenu* menu() {
        buildMenu();
        return m_menu.get();
    }

    // The program's own icon, or a drawn one while it has none; with a green dot for
    // "mates online", drawn for the screen's pixel ratio.
    static QIcon TrayIcon(const QWidget* window, bool anyOnline);

Q_SIGNALS:
    void showRequested();
    void joinRequested(const QByteArray& host); // a mate's, as "Join mate" joins it
    void favouriteJoinRequested(const QByteArray& host);
    void recentJoinRequested(const QByteArray& host);
    void slotWatchRequested(const QByteArray& host);
    void slotWatchCancelled(const QByteArray& host);

private:
    void createIcon();
    void pollTray();
    void refreshIcon();
    // A refresh tells the tray several things one after the other: the menu is built
    // once, at the next turn of the event loop (or when it is asked for).
    void rebuildMenu();
    void buildMenu();
    void addSlotWatchItems(QMenu* favourites);

    QWidget* m_window;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    // Drawn when first needed, and again after the online state changed.
    mutable QIcon m_plainIcon;
    mutable QIcon m_onlineIcon;
    mutable bool m_iconsStale = true;
    bool m_menuStale = false;
    bool m_showing = false;
    bool m_online = false;
    int m_onlineCount = 0;
    int m_total = 0;
    QList<OnlineMate> m_mates;
    QList<QPair<QByteArray, QString>> m_favourites;
    QList<QPair<QByteArray, QString>> m_recent;
    QList<QByteArray> m_watched;
    QSet<QByteArray> m_full;
    QString m_noMoreWatches;
    std::function<bool()> m_probe;
    QTimer m_poll;
    QAction* m_refresh = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_joinByName = nullptr;
    ListFreshness m_freshness;
};
