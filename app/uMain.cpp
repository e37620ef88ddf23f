#include "uMain.h"

#include "ColumnMemory.h"
#include "DBusNotifier.h"
#include "DialogLook.h"
#include "EmptyListNote.h"
#include "ErrorHandler.h"
#include "ExecuteFile.h"
#include "GameWatch.h"
#include "HostNameJoin.h"
#include "HostWatches.h"
#include "Launcher.h"
#include "MainCommands.h"
#include "MateCommands.h"
#include "MatePresence.h"
#include "MateTray.h"
#include "MateTree.h"
#include "ProfileStore.h"
#include "QuillonTools.h"
#include "RecentJoins.h"
#include "RefreshController.h"
#include "RefreshDisplay.h"
#include "RosterCommands.h"
#include "ServerFinder.h"
#include "SightingsSource.h"
#include "SingleByteText.h"
#include "Ticker.h"
#include "WindowKeys.h"
#include "WindowPlace.h"
#include "uLegends.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString PublicService = QStringLiteral("https://www.lfsworld.net");
const QString HomePage = QStringLiteral("https://www.pelmark.org/");
constexpr qsizetype MaxLabelText = 200;

} // namespace

template <typename Body> bool TfMain::guarded(Body&& body) {
    return Guarded(m_desktop, std::forward<Body>(body));
}

TfMain::TfMain(Desktop& desktop, const QString& exePath, QWidget* parent)
    : TfMain(desktop, PortablePaths(exePath), parent) {}

TfMain::TfMain(Desktop& desktop, const AppPaths& appPaths, QWidget* parent)
    : QWidget(parent), config(appPaths.configPath), paths(appPaths), m_desktop(desktop) {
    defaultService = PublicService;
    m_store = std::make_unique<ProfileStore>(paths.groupsDir);

    CreateControls();
    makePieces();
    connectRefresh();
    connectCommands();
    m_gameWatch->start();
}

void TfMain::makePieces() {
    m_refresh = new RefreshController(config, this);
    tAutoRefresh = m_refresh->timer();
    IdHTTP = &m_refresh->service().client();
    m_ticker = new Ticker(lHighlights, config, m_desktop, this);
    tScrollHighlights = m_ticker->timer();
    IdHTTPHighlights = &m_ticker->service().client();
    m_place = new WindowPlace(this, spLeft, config, m_desktop);
    m_emptyNote = new EmptyListNote(lvServer, this);
    m_commands = new MainCommands(this);
    m_sightings = new SightingsSource(m_stats, m_refresh->hosts(), this);
    m_mateTree = new MateTree({tvMates, lvServer, lMateInfo, lSvrMates, m_commands->onOffline},
                              m_stats, *m_store, *m_sightings, this);
    m_mateTree->setImages(ilMateStatus);
    m_rosterCommands = new RosterCommands(m_stats, *m_store, m_desktop, this);
    m_mateTree->follow(*m_rosterCommands);
    m_launcher = std::make_unique<Launcher>(m_desktop, m_refresh->hosts(),
                                            [this] { return settings.lfsPath; });
    m_gameWatch = new GameWatch([this] { return m_launcher->IsGameRunning(); }, this);
    tCheckLFS = m_gameWatch->timer();
    m_mateCommands = new MateCommands(
        {m_mateTree, m_rosterCommands, m_launcher.get(), &m_stats, m_sightings, &m_desktop, this},
        this);
    m_presence = new MatePresence({this, m_mateTree, &m_stats, &config, &m_desktop, dataDir},
                                  std::make_unique<DBusNotifier>(), this);
    m_finder = new ServerFinder({lvServer, pClientBottom, &config, m_rosterCommands, &m_stats,
                                 &m_desktop, dataDir, m_emptyNote},
                                this);
    new RecentJoins({m_launcher.get(), m_finder, m_presence->tray(), lvServer, &m_desktop, dataDir},
                    this);
    m_display = std::make_unique<RefreshDisplay>(
        RefreshDisplay::Parts{lvServer, lSvrCount, lOccupied, lPlayersOnline, m_emptyNote,
                              m_presence, m_finder, m_refresh, &m_desktop, paths.tracksPath});
    m_sightings->setTracks(&m_display->tracks());
    new HostWatches({m_refresh, m_gameWatch, m_launcher.get(), &m_desktop, &m_presence->notifier(),
                     lvServer, m_presence->tray(), m_finder, &config, &m_display->tracks()},
                    this);
    SetTabChain({tvMates, bAddGroup, bDelGroup, bAddMate, bDelMate, bEditMate, bOnOffline,
                 bJoinMate, bJoinPW, lvServer, m_emptyNote->linkLabel(), m_finder->eFilter,
                 m_finder->bFilters, bJoinSvr, bJoinSvrPW, bSettings, bStartLFS, bLegends, Image2});
}

void TfMain::connectRefresh() {
    connect(m_refresh, &RefreshController::identKeyRejected, this,
            [this] { m_display->identKeyRejected(); });
    connect(m_refresh, &RefreshController::refreshStarted, this,
            [this] { m_keptCaption = lvServer->selectedCaption().value_or(QString()); });
    connect(m_gameWatch, &GameWatch::runningChanged, this, [this](bool running) {
        m_refresh->setGameRunning(running);
        m_emptyNote->setGameRunning(running);
    });
    connect(m_gameWatch, &GameWatch::failed, this,
            [this](const PelmarkError& e) { m_desktop.showError(StandardErrorText(e.message())); });
    connect(m_emptyNote, &EmptyListNote::identKeyRequested, this, &TfMain::enterIdentKey);
    connect(m_finder, &ServerFinder::favouritesOnline, m_presence->tray(),
            &MateTray::setFavourites);
    connect(m_sightings, &SightingsSource::changed, m_finder, &ServerFinder::showMates);
    connect(m_presence, &MatePresence::showHostRequested, lvServer, &ServerListView::selectCaption);
    connect(&config, &ProgramSettings::appSettingsChanged, this,
            [this] { lCountry->setText(Bounded(settings.country, MaxLabelText)); });
    connect(lvServer->header(), &QHeaderView::sectionClicked, this, &TfMain::lvServerColumnClick);
}

// Every command of the window in one place: the buttons, the tree's and the rows' menus,
// the tray and the keys share one action per command.
void TfMain::connectCommands() {
    const MainCommands& c = *m_commands;
    const std::pair<QAbstractButton*, QAction*> buttons[] = {
        {bAddGroup, c.addGroup},  {bDelGroup, c.deleteGroup},
        {bAddMate, c.addMate},    {bDelMate, c.deleteMate},
        {bEditMate, c.editMate},  {bSettings, c.settings},
        {bStartLFS, c.startGame}, {bOnOffline, c.onOffline},
        {bJoinMate, c.joinMate},  {bJoinPW, c.joinMateWithPassword},
        {bJoinSvr, c.join},       {bJoinSvrPW, c.joinWithPassword},
        {bLegends, c.legends}};
    for (const auto& [button, action] : buttons)
        MainCommands::drive(button, action);
    MateCommands* mates = m_mateCommands;
    const std::pair<QAction*, void (MateCommands::*)()> mateHandlers[] = {
        {c.addGroup, &MateCommands::bAddGroupClick}, {c.deleteGroup, &MateCommands::bDelGroupClick},
        {c.addMate, &MateCommands::bAddMateClick},   {c.deleteMate, &MateCommands::bDelMateClick},
        {c.editMate, &MateCommands::bEditMateClick}, {c.undo, &MateCommands::undo}};
    for (const auto& [action, handler] : mateHandlers)
        connect(action, &QAction::triggered, mates, handler);
    const std::pair<QAction*, void (TfMain::*)()> handlers[] = {
        {c.settings, &TfMain::bSettingsClick},
        {c.startGame, &TfMain::bStartLFSClick},
        {c.legends, &TfMain::bLegendsClick}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    connect(c.join, &QAction::triggered, this, [this] { joinSelectedHost(false); });
    connect(c.joinWithPassword, &QAction::triggered, this, [this] { joinSelectedHost(true); });
    connect(c.joinMate, &QAction::triggered, mates, [mates] { mates->joinMate(false); });
    connect(c.joinMateWithPassword, &QAction::triggered, mates, [mates] { mates->joinMate(true); });
    connect(c.refresh, &QAction::triggered, m_refresh, &RefreshController::tAutoRefreshTimer);
    connect(c.quit, &QAction::triggered, this, [] { QCoreApplication::quit(); });
    connect(c.find, &QAction::triggered, m_finder, &ServerFinder::focusFilter);
    new HostNameJoin(c.joinHostByName, *m_launcher, m_desktop, this);
    connectCommandFollowers();
}

void TfMain::connectCommandFollowers() {
    const MainCommands& c = *m_commands;
    connect(m_rosterCommands, &RosterCommands::undoAvailable, c.undo, &QAction::setEnabled);
    m_presence->setCommands(c);
    m_finder->setCommands(c);
    connect(m_presence, &MatePresence::joinRequested, m_mateCommands, &MateCommands::joinMateHost);
    connect(m_presence->tray(), &MateTray::favouriteJoinRequested, this, &TfMain::joinHost);
    auto* keys = new WindowKeys(this);
    keys->onEnter(lvServer, [this] { m_commands->join->trigger(); });
    keys->onEnter(tvMates, [this] { m_mateCommands->tvMatesDblClick(); });
    // Double clicks are taken from the viewport: only the left button acts, and also
    // where no row is (below the last one).
    lvServer->viewport()->installEventFilter(this);
    Image2->installEventFilter(this);
    pMainTop->installEventFilter(this);
}

TfMain::~TfMain() {
    // The dialogs hold on to the lists and settings below.
    delete m_mateCommands;
    delete m_legends.data();
    delete m_settings.data();
    // The shared lists go in the reverse order of their creation.
    const QSignalBlocker quiet(m_stats); // nothing is left to follow the change
    m_stats.clear();
}

// Each dialog fills itself from the current lists and settings whenever it is shown, so
// one made at its first opening shows what one made at start would.
TfLegends* TfMain::legendsDialog() {
    if (!m_legends)
        m_legends = new TfLegends(ilServerStatus, ilMateStatus, this);
    return m_legends;
}

TfSettings* TfMain::settingsDialog() {
    if (!m_settings) {
        m_settings = new TfSettings(config, m_desktop, this);
        m_presence->attachMoreSettings(m_settings->fMoreSettings);
        // A new ident key is wanted now, not a whole period later.
        connect(m_settings->fMoreSettings, &QDialog::accepted, m_refresh,
                &RefreshController::refreshIfKeyChanged);
    }
    return m_settings;
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == pMainTop && event->type() == QEvent::Resize)
        pMainTopResize();
    else if (watched == lvServer->viewport() && event->type() == QEvent::MouseButtonDblClick &&
             mouse->button() == Qt::LeftButton)
        m_commands->join->trigger();
    else if (watched == Image2 && event->type() == QEvent::MouseButtonRelease &&
             mouse->button() == Qt::LeftButton)
        Image2Click();
    return QWidget::eventFilter(watched, event);
}

// ---- creation ---------------------------------------------------------------------

void TfMain::FormCreate() {
    // What an interrupted rewrite of a group left behind, before anything reads the folder.
    m_store->RemoveStaleTemporaries();
    const bool prepared = guarded([&] {
        const TFileVersionInfo versionInfo = ReadFileVersionInfo(paths.exePath);
        lVersion->setText(QStringLiteral("v ") + Bounded(versionInfo.FileVersion, MaxLabelText));
        lCopyright->setText(Bounded(versionInfo.LegalCopyRight, MaxLabelText));
        pMainTopResize();
        // The settings with the service's addresses and the additions' options, once.
        config.readAll(defaultService);
        m_columns->apply();
        m_place->restore();
        m_refresh->applyInterval();
        SortServerList();
    });
    m_refresh->start();
    if (!prepared) {
        Q_EMIT startUpFinished(false); // the ticks try again
        return;
    }
    connect(m_refresh, &RefreshController::refreshed, this, &TfMain::continueStartUp,
            Qt::SingleShotConnection);
    m_refresh->tAutoRefreshTimer();
}

void TfMain::continueStartUp(const HostListResult& result) {
    const bool refreshed = m_display->show(result);
    // From now on every refresh is followed by the tree's rebuild.
    connect(m_refresh, &RefreshController::refreshed, this, &TfMain::followRefresh);
    // One failure at start must not leave the tree empty or the ticker still for the
    // whole run, so the steps after it still run; their failures are not told twice.
    // The first refresh is part of creation: a box of creation holds the ticks off.
    m_refresh->setHeld(true);
    const bool built = guarded([&] { rebuildRoster(result.hasList()); });
    const bool toldAlready = !refreshed || !built;
    connect(
        m_ticker, &Ticker::loaded, this,
        [this, toldAlready](bool shown) {
            m_refresh->setHeld(false);
            Q_EMIT startUpFinished(!toldAlready && shown);
        },
        Qt::SingleShotConnection);
    m_ticker->LoadHighlights(toldAlready ? Ticker::OnFailure::Quiet : Ticker::OnFailure::Tell);
}

void TfMain::followRefresh(const HostListResult& result) {
    // A failed transfer told in a box ends the tick; every other outcome is followed by
    // the tree, and the row that was selected is selected again.
    if (!m_display->show(result))
        return;
    if (!m_keptCaption.isEmpty())
        lvServer->selectCaption(m_keptCaption);
    guarded([&] { rebuildRoster(result.hasList()); });
}

void TfMain::rebuildRoster(bool afterHostList) {
    std::optional<PelmarkError> failure;
    try {
        m_mateTree->RebuildRoster();
    } catch (const PelmarkError& e) {
        failure = e; // an unreadable group; the others are in the tree
    }
    if (afterHostList)
        m_presence->afterRefresh(m_sightings->current());
    if (failure)
        throw *failure;
}

// ---- server list ------------------------------------------------------------------

void TfMain::SortServerList() {
    // A hand-edited settings file may hold any column.
    const int column = (config.sortColumn >= 0 && config.sortColumn < ServerListModel::ColumnCount)
                           ? config.sortColumn
                           : 0;
    lvServer->sortRows(column, config.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TfMain::lvServerColumnClick(int column) {
    guarded([&] {
        config.writeSortOrder(column, column == config.sortColumn ? !config.sortDescending : false);
        SortServerList();
    });
}

// ---- settings dialog, legends, home page ------------------------------------------

void TfMain::bSettingsClick() {
    guarded([&] {
        TfSettings* dialog = settingsDialog();
        // Its OK has saved the settings, and the country label has followed.
        if (!dialog || !dialog->Run())
            return;
        // A new interval takes effect at once: the user expects what he just set.
        m_refresh->applyInterval();
        m_ticker->LoadHighlights(); // the newest settings' text, a waiting reload dropped
    });
}

void TfMain::enterIdentKey() {
    guarded([&] {
        // The key's field is the first of "More settings...", focused as it opens.
        if (TfSettings* dialog = settingsDialog())
            dialog->fMoreSettings->Run();
    });
}

void TfMain::bLegendsClick() {
    guarded([&] {
        if (TfLegends* dialog = legendsDialog())
            dialog->ShowLegends();
    });
}

void TfMain::Image2Click() {
    guarded([&] { ExecuteFile(m_desktop, HomePage, QString()); });
}

// ---- game -------------------------------------------------------------------------

void TfMain::bStartLFSClick() {
    guarded([&] { m_launcher->StartLFS(); });
}

void TfMain::joinHost(const QByteArray& host) {
    guarded([&] { m_launcher->JoinHost(host); });
}

void TfMain::joinSelectedHost(bool alwaysAskPassword) {
    guarded([&] { m_launcher->JoinServer(lvServer->selectedCaption(), alwaysAskPassword); });
}
