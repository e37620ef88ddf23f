#pragma once

#include "FavouriteHosts.h"
#include "ServerFilterOptions.h"

#include <QObject>
#include <QPair>
#include <QSet>
#include <functional>
#include <memory>

class Desktop;
class EmptyListNote;
class FreshnessLabel;
class MainCommands;
class ProgramSettings;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QWidget;
class QuillonPubStats;
class RosterCommands;
class ServerListView;
class Sightings;
struct HostRecord;

// Finding a race in the server list: the filter field with its standing filters, the
// count of the rows shown, the rows' context menu and the favourite hosts. It works on the
// server list's view and says what it wants done through its signals.
class ServerFinder : public QObject {
    Q_OBJECT
public:
    struct Context {
        ServerListView* view = nullptr;
        QWidget* barParent = nullptr; // the panel below the list
        ProgramSettings* settings = nullptr;
        RosterCommands* commands = nullptr;
        const QuillonPubStats* stats = nullptr;
        Desktop* desktop = nullptr;
        QString dataDir;
        EmptyListNote* note = nullptr; // says when the filter hides every row
    };

    explicit ServerFinder(Context context, QObject* parent = nullptr);
    ~ServerFinder() override;

    QWidget* bar() const { return m_bar; }
    QLineEdit* eFilter = nullptr;
    QToolButton* bFilters = nullptr;
    QLabel* lShowing = nullptr;
    FreshnessLabel* lFreshness = nullptr; // how fresh the rows are, beside their count

    const FavouriteHosts& favourites() const { return m_favourites; }
    // After a refill of the rows: the tray's favourites online.
    void rowsRefilled();
    // New sightings: the mates named in the rows, and the rows they keep shown.
    void showMates(const Sightings& sightings);
    // The window's commands, offered in the rows' menu.
    void setCommands(const MainCommands& commands) { m_commands = &commands; }
    // The filter field takes the focus with its text selected, to type over (Ctrl+F).
    void focusFilter();
    // The row's menu, as a right click on it opens it (tests open it without showing).
    std::unique_ptr<QMenu> rowMenu(int row);
    // The menu of the list where no row is, the empty list's included.
    std::unique_ptr<QMenu> listMenu();
    void setFavourite(const QByteArray& host, bool favourite);
    // The hosts joined lately, which one of the standing filters keeps.
    void setRecentHosts(QSet<QByteArray> hosts);
    // Items others add to every row menu: right after the join commands, or at its end.
    enum class MenuPlace { AfterJoin, End };
    using MenuPart = std::function<void(QMenu& menu, const HostRecord& host)>;
    void addRowMenuPart(MenuPlace place, MenuPart part) {
        m_menuParts.append({place, std::move(part)});
    }

Q_SIGNALS:
    // The favourite hosts online now, for the tray: name and players text.
    void favouritesOnline(const QList<QPair<QByteArray, QString>>& hosts);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeBar();
    QMenu* makeFilterMenu();
    void setStanding(const ServerFilterOptions& options);
    // The menu's checks as the options have them.
    void showStanding(const ServerFilterOptions& options);
    void updateShowing();
    void addMenuParts(QMenu& menu, MenuPlace place, const HostRecord& host) const;
    void addRacerAsMate(const QString& group, const QByteArray& racer);
    void placeBar();
    void tellFavouritesOnline();

    Context m_c;
    const MainCommands* m_commands = nullptr;
    FavouriteHosts m_favourites;
    QWidget* m_bar = nullptr;
    QList<QAction*> m_standingActions;
    QList<std::pair<MenuPlace, MenuPart>> m_menuParts;
};
