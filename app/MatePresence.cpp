#include "MatePresence.h"

#include "ErrorHandler.h"
#include "MainCommands.h"
#include "MateTray.h"
#include "MateTree.h"
#include "OnlineMates.h"
#include "PlainText.h"
#include "ProgramSettings.h"
#include "QuillonPubStats.h"
#include "RosterModel.h"
#include "Sightings.h"
#include "SingleByteText.h"
#include "uMoreSettings.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>

namespace {

const QString GroupChoiceText = QStringLiteral("Notify when a mate of this group comes online");
const QString MateChoiceText = QStringLiteral("Notify when this mate comes online");
const QString GroupMoveChoiceText =
    QStringLiteral("Notify when a mate of this group has changed host");
const QString MateMoveChoiceText = QStringLiteral("Notify when this mate has changed host");

// A refresh may have taken the menu's group or mate away while the menu was open.
bool rosterHolds(const QuillonPubStats& stats, const QString& group, const QByteArray& lfsName) {
    if (!stats.groups().contains(group))
        return false;
    return lfsName.isEmpty() || stats.FindMateByLfsName(group, lfsName) >= 0;
}

} // namespace

MatePresence::MatePresence(Context context, std::unique_ptr<Notifier> notifier, QObject* parent)
    : QObject(parent), m_c(std::move(context)), m_notifier(std::move(notifier)),
      m_choices(AlertChoices::load(choicesPath())), m_lastSeen(lastSeenPath()) {
    m_lastSeen.load();
    m_notifier->probe();
    connect(m_notifier.get(), &Notifier::activated, this, &MatePresence::showHost);

    m_c.tree->enableNodeMenu();
    // A screen reader hears what the tooltip shows.
    m_c.tree->describeMatesBy([this](const QModelIndex& node) { return nodeToolTip(node); });
    connect(m_c.tree, &MateTree::nodeMenuRequested, this, &MatePresence::showNodeMenu);
    m_c.tree->treeView()->viewport()->installEventFilter(this);
    m_c.window->installEventFilter(this);

    m_tray = new MateTray(m_c.window, this);
    connect(m_tray, &MateTray::showRequested, this, &MatePresence::showWindow);
    connect(m_tray, &MateTray::joinRequested, this, &MatePresence::joinRequested);
    // The tray counts as the line below the tree does, in its words.
    connect(m_c.tree, &MateTree::mateCountsChanged, m_tray, &MateTray::setMateCounts);
    m_tray->show();
}

MatePresence::~MatePresence() {
    m_lastSeen.saveUnsaved();
}

QString MatePresence::choicesPath() const {
    return m_c.dataDir + QStringLiteral("MateAlerts.json");
}

QString MatePresence::lastSeenPath() const {
    return m_c.dataDir + QStringLiteral("LastSeen.json");
}

void MatePresence::afterRefresh(const Sightings& sightings, const QDateTime& now) {
    const PresenceOptions& options = m_c.settings->options;
    m_watch.setDampingMinutes(options.dampingMinutes);
    m_moves.setDampingMinutes(options.dampingMinutes);
    const QSet<QByteArray>& persons = sightings.persons();
    const QList<OnlineMate> online = OnlinePersons(sightings, m_c.stats->mates());
    QSet<QByteArray> matesOnline;
    matesOnline.reserve(online.size());
    for (const OnlineMate& mate : online)
        matesOnline.insert(mate.lfsName);
    const QSet<QByteArray> arrived = m_watch.update(now, matesOnline, persons);
    const QSet<QByteArray> moved = m_moves.update(now, online);

    m_lastSeen.record(now, online);
    const bool seenSaved = m_lastSeen.saveIfDue(now);

    QList<OnlineMate> announce;
    for (const OnlineMate& mate : online) {
        if (arrived.contains(mate.lfsName) && m_choices.wantsAlert(mate.lfsName, mate.groups))
            announce.append(mate);
    }
    if (options.notifications && !announce.isEmpty()) {
        // Its default action shows the first mate's host; Join only where all race on one.
        const QByteArray& host = announce.first().host;
        const bool oneHost = std::all_of(announce.cbegin(), announce.cend(),
                                         [&](const OnlineMate& mate) { return mate.host == host; });
        m_notifier->notify(ArrivalTitle(), ArrivalLines(announce), ToDisplay(host),
                           oneHost && !host.isEmpty());
    }
    if (options.notifications)
        announceMoves(online, moved);
    m_tray->update(online);

    // A save that failed is tried again at every refresh: one box tells the user, and
    // the next one only after a save has gone through again.
    const bool firstFailure = !seenSaved && !m_lastSeenFailing;
    m_lastSeenFailing = !seenSaved;
    if (firstFailure)
        m_c.desktop->showError(StandardErrorText(ErrorText::CannotWrite(m_lastSeen.path())));
}

void MatePresence::announceMoves(const QList<OnlineMate>& online, const QSet<QByteArray>& moved) {
    QList<OnlineMate> announce;
    for (const OnlineMate& mate : online) {
        if (moved.contains(mate.lfsName) &&
            m_choices.wantsAlert(mate.lfsName, mate.groups, AlertEvent::ChangedHost))
            announce.append(mate);
    }
    for (const MoveNotice& notice : MoveNotices(announce)) {
        m_notifier->notify(notice.title, notice.lines, ToDisplay(notice.showKey),
                           /*offerJoin=*/!notice.host.isEmpty());
    }
}

void MatePresence::attachMoreSettings(TfMoreSettings* dialog) {
    if (!dialog)
        return;
    dialog->notificationServiceMissing = [this] {
        return m_notifier->service() == Notifier::Service::Missing;
    };
    dialog->trayMissing = [this] { return !m_tray->trayAvailable(); };
}

void MatePresence::setCommands(const MainCommands& commands) {
    m_commands = &commands;
    m_tray->setCommands(commands.refresh, commands.quit);
    m_tray->setJoinHostByName(commands.joinHostByName);
}

QString MatePresence::nodeToolTip(const QModelIndex& node) const {
    if (!RosterModel::isMate(node))
        return {};
    const QByteArray lfsName = node.data(RosterModel::LfsNameRole).toByteArray();
    return SightingText(m_lastSeen.find(lfsName), m_lastSeen.isOnline(lfsName), QLocale());
}

std::unique_ptr<QMenu> MatePresence::nodeMenu(const QString& group, const QString& mateText) {
    auto menu = std::make_unique<QMenu>(m_c.tree->treeView());
    const auto addCommands = [&](std::initializer_list<QAction* const MainCommands::*> commands) {
        if (m_commands) {
            for (QAction* const MainCommands::*command : commands)
                menu->addAction((*m_commands).*command);
        }
    };
    // Undo ends each menu.
    const auto addCreateGroup = [&] {
        addCommands({&MainCommands::addGroup});
        menu->addSeparator();
        addCommands({&MainCommands::undo});
    };
    if (group.isEmpty() && mateText.isEmpty()) {
        addCreateGroup();
        return menu;
    }
    if (mateText.isEmpty()) {
        addCommands({&MainCommands::addMate, &MainCommands::deleteGroup});
        menu->addSeparator();
        addGroupChoice(*menu, group, AlertEvent::CameOnline);
        addGroupChoice(*menu, group, AlertEvent::ChangedHost);
        menu->addSeparator();
        addCreateGroup();
        return menu;
    }
    addCommands({&MainCommands::joinMate, &MainCommands::joinMateWithPassword,
                 &MainCommands::editMate, &MainCommands::deleteMate});
    menu->addSeparator();
    const int entry = (*m_c.stats).FindMate(FromDisplay(mateText), group);
    const QByteArray lfsName =
        entry < 0 ? QByteArray() : TrimBytes(m_c.stats->mates().at(entry).record.lfsName());
    addMateChoices(*menu, group, lfsName, AlertEvent::CameOnline);
    addMateChoices(*menu, group, lfsName, AlertEvent::ChangedHost);
    menu->addSeparator();
    addCreateGroup();
    return menu;
}

void MatePresence::addGroupChoice(QMenu& menu, const QString& group, AlertEvent event) {
    QAction* action =
        menu.addAction(event == AlertEvent::CameOnline ? GroupChoiceText : GroupMoveChoiceText);
    action->setCheckable(true);
    action->setChecked(m_choices.groupAlerts(group, event));
    connect(action, &QAction::toggled, this, [this, group, event](bool on) {
        if (!rosterHolds(*m_c.stats, group, {})) {
            m_c.desktop->beep();
            return;
        }
        m_choices.setGroupAlerts(group, on, event);
        saveChoices();
    });
}

void MatePresence::addMateChoices(QMenu& menu, const QString& group, const QByteArray& lfsName,
                                  AlertEvent event) {
    QMenu* choices =
        menu.addMenu(event == AlertEvent::CameOnline ? MateChoiceText : MateMoveChoiceText);
    auto* exclusive = new QActionGroup(choices);
    const MateAlert current = m_choices.mateAlert(group, lfsName, event);
    const std::pair<MateAlert, QString> options[] = {
        {MateAlert::AsGroup, QStringLiteral("As the group")},
        {MateAlert::Always, QStringLiteral("Always")},
        {MateAlert::Never, QStringLiteral("Never")}};
    for (const auto& [alert, text] : options) {
        QAction* action = choices->addAction(text);
        action->setCheckable(true);
        action->setChecked(alert == current);
        action->setActionGroup(exclusive);
        connect(action, &QAction::triggered, this, [this, group, lfsName, a = alert, event] {
            if (!rosterHolds(*m_c.stats, group, lfsName)) {
                m_c.desktop->beep();
                return;
            }
            m_choices.setMateAlert(group, lfsName, a, event);
            saveChoices();
        });
    }
    choices->setEnabled(!lfsName.isEmpty());
}

void MatePresence::showNodeMenu(const QString& group, const QString& mateText,
                                const QPoint& globalPos) {
    Guarded((*m_c.desktop), [&] {
        const std::unique_ptr<QMenu> menu = nodeMenu(group, mateText);
        menu->exec(globalPos);
    });
}

void MatePresence::saveChoices() {
    Guarded((*m_c.desktop), [&] {
        // Choices of groups and mates that are gone go with the next change.
        m_choices.prune(m_c.stats->groups(), m_c.stats->mates());
        m_choices.save(choicesPath());
    });
}

bool MatePresence::hiddenInTray() const {
    return m_closedToTray && m_c.window->isHidden();
}

void MatePresence::showWindow() {
    QWidget* window = m_c.window;
    m_closedToTray = false;
    QApplication::setQuitOnLastWindowClosed(true);
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void MatePresence::showHost(const QString& host) {
    showWindow();
    Q_EMIT showHostRequested(host);
}

bool MatePresence::closeToTray(QEvent* event) {
    // Only the user's close: a termination signal closes from code and must end the run.
    if (!event->spontaneous() || !m_tray->isVisible() || !m_c.settings->options.keepInTray)
        return false;
    event->ignore();
    // A dialog closed while the window is hidden must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    m_closedToTray = true;
    m_c.window->hide();
    return true;
}

bool MatePresence::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_c.window && event->type() == QEvent::Close)
        return closeToTray(event);
    if (watched == m_c.tree->treeView()->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex node = m_c.tree->treeView()->indexAt(help->pos());
        const QString text = nodeToolTip(node);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), PlainToolTip(text),
                               m_c.tree->treeView()->viewport(),
                               m_c.tree->treeView()->visualRect(node));
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
