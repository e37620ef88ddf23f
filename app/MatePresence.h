#pragma once

#include "AlertChoices.h"
#include "ArrivalWatch.h"
#include "LastSeen.h"
#include "Notifier.h"
#include "OnlineMates.h"

#include <QDateTime>
#include <QObject>
#include <memory>

class MateTray;
class QMenu;
class QTreeWidgetItem;
class TfMain;
class TfMoreSettings;

// The mates-online alerts, the last-seen tooltips and the tray icon, wired to the main
// window. The work is done by the presence library; this only connects it.
class MatePresence : public QObject {
    Q_OBJECT
public:
    MatePresence(TfMain& main, std::unique_ptr<Notifier> notifier, QObject* parent = nullptr);
    ~MatePresence() override;

    // After a refresh that decoded a host list, once the roster has been rebuilt.
    void afterRefresh(const QDateTime& now = QDateTime::currentDateTime());
    // The "More settings..." dialog tells whether a notification service was found.
    void attachMoreSettings(TfMoreSettings* dialog);

    Notifier& notifier() { return *m_notifier; }
    const AlertChoices& choices() const { return m_choices; }
    const LastSeenStore& lastSeen() const { return m_lastSeen; }
    MateTray* tray() const { return m_tray; }
    QString choicesPath() const;
    QString lastSeenPath() const;

    // The tooltip of a mate node, plain; empty for a group node.
    QString nodeToolTip(const QTreeWidgetItem* node) const;
    // The node menu of a group (mateText empty) or a mate, for the tree's right click.
    std::unique_ptr<QMenu> nodeMenu(const QString& group, const QString& mateText);
    // Raises the window and selects the host's row (a notification's default action).
    void showHost(const QString& host);
    // Joins the host of that person exactly as "Join mate" does on his node.
    void joinMate(const QByteArray& lfsName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<RosterMate> rosterMates() const;
    void showNodeMenu(const QString& group, const QString& mateText, const QPoint& globalPos);
    void saveChoices();
    void showWindow();
    bool closeToTray(QEvent* event);

    TfMain& m_main;
    std::unique_ptr<Notifier> m_notifier;
    ArrivalWatch m_watch;
    AlertChoices m_choices;
    LastSeenStore m_lastSeen;
    MateTray* m_tray = nullptr;
};
