#pragma once

#include "AlertChoices.h"
#include "ArrivalWatch.h"
#include "HostMoveWatch.h"
#include "LastSeen.h"
#include "Notifier.h"

#include <QDateTime>
#include <QObject>
#include <memory>

class Desktop;
class MainCommands;
class MateTray;
class MateTree;
class ProgramSettings;
class QMenu;
class QModelIndex;
class QuillonPubStats;
class Sightings;
class TfMoreSettings;

// The mates-online alerts, the last-seen tooltips and the tray icon. The work is done by
// the presence library; this connects it to the window it is given, and asks for joins
// and for rows to be shown through its signals.
class MatePresence : public QObject {
    Q_OBJECT
public:
    struct Context {
        QWidget* window = nullptr; // raised by the tray and a notification, closed to the tray
        MateTree* tree = nullptr;  // the mate tree: tooltips and node menus
        const QuillonPubStats* stats = nullptr;
        const ProgramSettings* settings = nullptr;
        Desktop* desktop = nullptr;
        QString dataDir; // where the alert choices and the last-seen record are kept
    };

    MatePresence(Context context, std::unique_ptr<Notifier> notifier, QObject* parent = nullptr);
    ~MatePresence() override;

    // After a refresh that decoded a host list, with the sightings of the rebuilt roster.
    void afterRefresh(const Sightings& sightings,
                      const QDateTime& now = QDateTime::currentDateTime());
    // The "More settings..." dialog tells whether a notification service was found.
    void attachMoreSettings(TfMoreSettings* dialog);

    Notifier& notifier() { return *m_notifier; }
    const AlertChoices& choices() const { return m_choices; }
    const LastSeenStore& lastSeen() const { return m_lastSeen; }
    MateTray* tray() const { return m_tray; }
    // The user closed the window to the tray and it has not been shown since.
    bool hiddenInTray() const;
    QString choicesPath() const;
    QString lastSeenPath() const;

    // The tooltip of a mate node (an index of the tree's view), plain; empty for a group node.
    QString nodeToolTip(const QModelIndex& node) const;
    // The window's commands, offered in the tree's menus and the tray's.
    void setCommands(const MainCommands& commands);
    // The node menu of a group (mateText empty) or a mate, for the tree's right click; with
    // both empty, that of the space below the nodes.
    std::unique_ptr<QMenu> nodeMenu(const QString& group, const QString& mateText);
    // Raises the window and asks for the host's row (a notification's default action).
    void showHost(const QString& host);

Q_SIGNALS:
    // A mate's host is to be joined as "Join mate" joins it.
    void joinRequested(const QByteArray& host);
    void showHostRequested(const QString& host);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showNodeMenu(const QString& group, const QString& mateText, const QPoint& globalPos);
    void announceMoves(const QList<OnlineMate>& online, const QSet<QByteArray>& moved);
    void addGroupChoice(QMenu& menu, const QString& group, AlertEvent event);
    void addMateChoices(QMenu& menu, const QString& group, const QByteArray& lfsName,
                        AlertEvent event);
    void saveChoices();
    void showWindow();
    bool closeToTray(QEvent* event);

    Context m_c;
    std::unique_ptr<Notifier> m_notifier;
    ArrivalWatch m_watch;
    HostMoveWatch m_moves;
    AlertChoices m_choices;
    LastSeenStore m_lastSeen;
    MateTray* m_tray = nullptr;
    const MainCommands* m_commands = nullptr;
    bool m_closedToTray = false;
    bool m_lastSeenFailing = false; // the last save of the history failed
};
