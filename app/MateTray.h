#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QObject>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;
struct OnlineMate;

// The tray icon, where the desktop has a tray: its picture tells whether any mate is
// online, its menu lists them and joins one's host.
class MateTray : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxMenuMates = 20;

    explicit MateTray(QWidget* window, QObject* parent = nullptr);
    ~MateTray() override;

    static bool available();
    void show();
    bool isVisible() const;

    // The online persons of the last refresh and the number of persons in the roster.
    void update(const QList<OnlineMate>& online, int total);
    // The favourite hosts online now: host name and players text ("05/24").
    void setFavourites(const QList<QPair<QByteArray, QString>>& hosts);

    QString toolTip() const;
    QIcon icon() const;
    QMenu* menu() const { return m_menu.get(); }

    // The program's own icon, or a drawn one while it has none; with a green dot for
    // "mates online", drawn for the screen's pixel ratio.
    static QIcon TrayIcon(const QWidget* window, bool anyOnline);

Q_SIGNALS:
    void showRequested();
    void refreshRequested();
    void joinRequested(const QByteArray& lfsName);
    void favouriteJoinRequested(const QByteArray& host);
    void quitRequested();

private:
    void createIcon();
    void rebuildMenu();

    QWidget* m_window;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    // Drawn when first needed, and again after the online state changed.
    mutable QIcon m_plainIcon;
    mutable QIcon m_onlineIcon;
    mutable bool m_iconsStale = true;
    bool m_showing = false;
    bool m_online = false;
    int m_onlineCount = 0;
    int m_total = 0;
    QList<OnlineMate> m_mates;
    QList<QPair<QByteArray, QString>> m_favourites;
};
