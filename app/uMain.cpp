#include "uMain.h"

#include "ColumnMemory.h"
#include "DBusNotifier.h"
#include "EmptyListNote.h"
#include "ErrorHandler.h"
#include "ExecuteFile.h"
#include "Highlights.h"
#include "HostListDecoder.h"
#include "HostListQuery.h"
#include "HttpClient.h"
#include "ItemImages.h"
#include "Launcher.h"
#include "MainCommands.h"
#include "MatePresence.h"
#include "MateTray.h"
#include "MateTree.h"
#include "ProfileStore.h"
#include "RosterCommands.h"
#include "ServerFinder.h"
#include "ServerListView.h"
#include "ServiceAnswer.h"
#include "SingleByteText.h"
#include "TimerHold.h"
#include "TrackNaming.h"
#include "WindowKeys.h"
#include "uAddEditMate.h"
#include "uLegends.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

namespace {

const QString PublicService = QStringLiteral("https://www.lfsworld.net");
const QString HomePage = QStringLiteral("https://www.pelmark.org/");
constexpr qsizetype MaxLabelText = 200;
// Far more than any ticker needs; a reply with endless lines must not make the
// label wider than the window system can paint.
constexpr qsizetype MaxTickerChars = 20000;

// Sets a flag for the duration of a scope.
class InProgress {
public:
    explicit InProgress(bool& flag) : m_flag(flag) { m_flag = true; }
    ~InProgress() { m_flag = false; }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;

private:
    bool& m_flag;
};

QUrl serviceUrl(const QString& base, const QString& path, const QString& query = {}) {
    QUrl url(base);
    url.setPath(url.path().chopped(url.path().endsWith(QLatin1Char('/')) ? 1 : 0) + path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

} // namespace

template <typename Body> bool TfMain::guarded(Body&& body) {
    return Guarded(m_desktop, std::forward<Body>(body));
}

TfMain::TfMain(Desktop& desktop, const QString& exePath, QWidget* parent)
    : TfMain(desktop, PortablePaths(exePath), parent) {}

TfMain::TfMain(Desktop& desktop, const AppPaths& paths, QWidget* parent)
    : QWidget(parent), config(paths.configPath), m_desktop(desktop), m_exePath(paths.exePath) {
    exeDir = paths.exeDir;
    dataDir = paths.dataDir;
    groupsDir = paths.groupsDir;
    tracksPath = paths.tracksPath;
    defaultService = PublicService;
    statsServer = defaultService;
    highlightsServer = defaultService;
    m_store = std::make_unique<ProfileStore>(groupsDir);

    CreateControls();
    m_columns = new ColumnMemory(lvServer->header(), config, m_desktop, this);
    m_emptyNote = new EmptyListNote(lvServer, this);
    connect(m_emptyNote, &EmptyListNote::identKeyRequested, this, &TfMain::enterIdentKey);

    m_mateTree = new MateTree({tvMates, lvServer, lMateInfo, lSvrMates, bOnOffline}, m_stats,
                              *m_store, this);
    m_mateTree->setImages(ilMateStatus);
    m_rosterCommands = new RosterCommands(m_stats, *m_store, m_desktop, this);
    m_mateTree->follow(*m_rosterCommands);
    connect(m_rosterCommands, &RosterCommands::undone, this, [this](const QString& group) {
        guarded([&] { m_mateTree->RebuildRoster(); });
        m_mateTree->chooseRestored(group); // the Menu key then opens the restored node's menu
        m_finder->rosterChanged();
    });
    m_launcher = new Launcher(m_desktop, m_stats, [this] { return settings.lfsPath; });

    WireHandlers();
    // Nothing of the ticker can be seen while the window is hidden or minimized: it
    // stands still there, and costs nothing, until the window shows again.
    m_tickerHold = new TimerHold(this, tScrollHighlights);
    m_presence = new MatePresence({this, m_mateTree, &m_stats, &config, &m_desktop, dataDir},
                                  std::make_unique<DBusNotifier>(), this);
    connect(m_presence, &MatePresence::joinRequested, this, &TfMain::joinMateHost);
    connect(m_presence, &MatePresence::showHostRequested, this, &TfMain::selectServerRow);
    m_finder = new ServerFinder(
        {lvServer, pClientBottom, &config, m_rosterCommands, &m_stats, &m_desktop, dataDir}, this);
    connect(m_finder, &ServerFinder::favouritesOnline, m_presence->tray(),
            &MateTray::setFavourites);
    connect(m_presence->tray(), &MateTray::favouriteJoinRequested, this, &TfMain::joinHost);
    connectCommands();
    connect(&config, &ProgramSettings::appSettingsChanged, this,
            [this] { lCountry->setText(Bounded(settings.country, MaxLabelText)); });
    tAutoRefresh->start();
    tCheckLFS->start();
}

// Every command of the window, its buttons and its keys, in one place: the buttons, the
// tree's and the rows' menus and the tray share one action per command.
void TfMain::connectCommands() {
    m_commands = new MainCommands(this);
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

    const std::pair<QAction*, void (TfMain::*)()> handlers[] = {
        {c.refresh, &TfMain::tAutoRefreshTimer},         {c.join, &TfMain::bJoinSvrClick},
        {c.joinWithPassword, &TfMain::bJoinSvrPWClick},  {c.joinMate, &TfMain::bJoinMateClick},
        {c.joinMateWithPassword, &TfMain::bJoinPWClick}, {c.addGroup, &TfMain::bAddGroupClick},
        {c.deleteGroup, &TfMain::bDelGroupClick},        {c.addMate, &TfMain::bAddMateClick},
        {c.deleteMate, &TfMain::bDelMateClick},          {c.editMate, &TfMain::bEditMateClick},
        {c.onOffline, &TfMain::bOnOfflineClick},         {c.settings, &TfMain::bSettingsClick},
        {c.startGame, &TfMain::bStartLFSClick},          {c.legends, &TfMain::bLegendsClick}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    connect(c.quit, &QAction::triggered, this, [] { QCoreApplication::quit(); });
    // Ctrl+Z, and the last item of the tree's menus, undo the last roster change.
    connect(c.undo, &QAction::triggered, this,
            [this] { guarded([&] { m_rosterCommands->Undo(); }); });
    connect(m_rosterCommands, &RosterCommands::undoAvailable, c.undo, &QAction::setEnabled);
    connect(c.find, &QAction::triggered, m_finder, &ServerFinder::focusFilter);
    m_presence->setCommands(c);
    m_finder->setCommands(c);

    auto* keys = new WindowKeys(this);
    keys->onEnter(lvServer, [this] { m_commands->join->trigger(); });
    keys->onEnter(tvMates, [this] { tvMatesDblClick(); });
}

TfMain::~TfMain() {
    m_ownDialogs.clear(); // they hold on to the lists and settings below
    // The shared lists go in the reverse order of their creation.
    m_stats.mates.clear();
    m_stats.hosts.clear();
    m_stats.groups.clear();
    delete m_launcher;
}

void TfMain::WireHandlers() {
    connect(tAutoRefresh, &QTimer::timeout, this, &TfMain::tAutoRefreshTimer);
    connect(tScrollHighlights, &QTimer::timeout, this, &TfMain::tScrollHighlightsTimer);
    connect(tCheckLFS, &QTimer::timeout, this, &TfMain::tCheckLFSTimer);

    // The buttons run their commands (connectCommands).
    connect(lvServer->header(), &QHeaderView::sectionClicked, this, &TfMain::lvServerColumnClick);

    // Double clicks are taken from the viewports: only the left button acts, and also
    // where no row is (below the last one).
    lvServer->viewport()->installEventFilter(this);
    tvMates->installEventFilter(this);
    tvMates->viewport()->installEventFilter(this);
    Image2->installEventFilter(this);
    pMainTop->installEventFilter(this);
}

// Each dialog fills itself from the current lists and settings whenever it is shown, so
// one made at its first opening shows what one made at start would.
TfLegends* TfMain::legendsDialog() {
    if (!m_legends) {
        m_legends = new TfLegends(ilServerStatus, ilMateStatus, this);
        m_ownDialogs.emplace_back(m_legends);
    }
    return m_legends;
}

TfAddEditMate* TfMain::addEditMateDialog() {
    if (!m_addEditMate) {
        m_addEditMate = new TfAddEditMate(m_stats, *m_rosterCommands, m_desktop, this);
        m_ownDialogs.emplace_back(m_addEditMate);
        connect(m_rosterCommands, &RosterCommands::groupCreated, m_addEditMate,
                &TfAddEditMate::groupCreated);
        connect(m_rosterCommands, &RosterCommands::groupDeleted, m_addEditMate,
                &TfAddEditMate::groupDeleted);
    }
    return m_addEditMate;
}

TfSettings* TfMain::settingsDialog() {
    if (!m_settings) {
        m_settings = new TfSettings(config, m_desktop, this);
        m_ownDialogs.emplace_back(m_settings);
        m_presence->attachMoreSettings(m_settings->fMoreSettings);
        // A new ident key is wanted now, not a whole period later.
        connect(m_settings->fMoreSettings, &QDialog::accepted, this, [this] {
            if (settings.identKey != m_identKeySent)
                tAutoRefreshTimer();
        });
    }
    return m_settings;
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == pMainTop)
            pMainTopResize();
        break;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            break;
        if (watched == lvServer->viewport())
            bJoinSvrClick();
        else if (watched == tvMates->viewport())
            tvMatesDblClick();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == Image2 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Image2Click();
        else if (watched == tvMates->viewport())
            guarded([&] { m_mateTree->tvMatesMouseUp(); });
        break;
    case QEvent::KeyRelease:
        if (watched == tvMates) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            guarded([&] { m_mateTree->tvMatesKeyUp(key); });
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- creation ---------------------------------------------------------------------

bool TfMain::FormCreate() {
    // The first refresh is part of creation: a box it opens holds the refresh ticks off.
    InProgress firstRefresh(m_refreshTick);
    // What an interrupted rewrite of a group left behind, before anything reads the folder.
    m_store->RemoveStaleTemporaries();
    enum class Step { Before, Refresh, Roster, Ticker } step = Step::Before;
    const bool created = guarded([&] {
        versionInfo = ReadFileVersionInfo(m_exePath);
        lVersion->setText(QStringLiteral("v ") + Bounded(versionInfo.FileVersion, MaxLabelText));
        lCopyright->setText(Bounded(versionInfo.LegalCopyRight, MaxLabelText));
        pMainTopResize();

        // The settings with the service's addresses and the additions' options, once.
        config.readAll(defaultService);
        m_columns->apply();
        setAutoRefreshPeriod();

        m_stats.groups.clear();
        m_stats.hosts.clear();
        m_stats.mates.clear();

        SortServerList();

        step = Step::Refresh;
        RefreshServerList();
        step = Step::Roster;
        rebuildRoster();
        step = Step::Ticker;
        LoadHighlights();
        m_tickerHold->start();
    });
    // The error box has been shown; one failure at start must not leave the tree empty
    // or the ticker still for the whole run, so the steps after it still run.
    if (step == Step::Refresh)
        guarded([&] { rebuildRoster(); });
    if (step == Step::Refresh || step == Step::Roster)
        startTickerAfterFailedStart();
    return created;
}

void TfMain::startTickerAfterFailedStart() {
    try {
        LoadHighlights();
    } catch (const PelmarkError&) {
        // Said once already: the box of this start-up is the only one. The empty text
        // scrolls across and its pass asks again, as every pass does.
        lHighlights->move(pMainTop->width(), lHighlights->y());
    } catch (const RequestCancelled&) {
        return;
    }
    m_tickerHold->start();
}

void TfMain::rebuildRoster() {
    std::optional<PelmarkError> failure;
    try {
        m_mateTree->RebuildRoster();
    } catch (const PelmarkError& e) {
        failure = e; // an unreadable group; the others are in the tree
    }
    m_finder->rosterChanged(); // the roster's mates as the files hold them now
    if (m_hostListDecoded)
        m_presence->afterRefresh(m_tracks);
    if (failure)
        throw *failure;
}

// ---- settings ---------------------------------------------------------------------

void TfMain::setAutoRefreshPeriod() {
    const int period = static_cast<int>(std::min<quint32>(settings.interval, INT_MAX));
    const bool changed = tAutoRefresh->interval() != period;
    tAutoRefresh->setInterval(period);
    // A period of 0 never fires (a QTimer of 0 would fire at every turn of the loop).
    if (settings.interval == 0)
        tAutoRefresh->stop();
    else if (!m_gameRunning && (changed || !tAutoRefresh->isActive()))
        tAutoRefresh->start();
}

void TfMain::setAutoRefreshEnabled(bool on) {
    m_gameRunning = !on;
    m_emptyNote->setGameRunning(!on);
    if (!on)
        tAutoRefresh->stop();
    else if (!tAutoRefresh->isActive() && settings.interval != 0)
        tAutoRefresh->start();
}

// ---- server list ------------------------------------------------------------------

void TfMain::RefreshServerList() {
    InProgress busy(m_refreshing);
    m_hostListDecoded = false;
    const HostListQuery request = MakeHostListQuery(settings.identKey);
    m_identKeySent = settings.identKey;
    if (request.keyRejected && !m_identKeyReported) {
        // Said once: a hand-edited key stays wrong until the user mends it.
        m_identKeyReported = true;
        m_desktop.showMessage(QStringLiteral("The ident key in the settings file is not valid "
                                             "(letters and digits, at most %1), so it is not "
                                             "sent.")
                                  .arg(MaxIdentKeyLength));
    }
    QByteArray reply;
    try {
        reply = IdHTTP->get(
            serviceUrl(statsServer, QStringLiteral("/pubstat/get_stat2.php"), request.query));
    } catch (const PelmarkError& e) {
        m_emptyNote->failed(e.message(), nextTickTime());
        if (failedInTray(e.message()))
            return;
        throw;
    }
    if (IsRefusalReply(reply)) {
        m_emptyNote->failed(QStringLiteral("Could not refresh."), nextTickTime());
        if (!failedInTray(QStringLiteral("Could not refresh.")))
            m_desktop.showMessage(QStringLiteral("Could not refresh."));
        return;
    }
    HostList hosts;
    if (DecodeHostList(reply, hosts) != DecodeResult::Ok) {
        // A note of the service in words (a missing key, say) tells more than our own.
        const std::optional<QString> line = ServiceAnswerLine(reply);
        if (line)
            m_emptyNote->serviceAnswered(ServiceAnsweredText(*line));
        else
            m_emptyNote->failed(QStringLiteral("Could not refresh."), nextTickTime());
        const QString text =
            line ? ServiceAnsweredText(*line) : QStringLiteral("Could not refresh.");
        if (!failedInTray(text))
            m_desktop.showMessage(text);
        return;
    }
    m_emptyNote->succeeded();
    m_presence->tray()->setOnline();
    m_stats.hosts = std::move(hosts);
    m_hostListDecoded = true;
    fillServerRows();
}

void TfMain::fillServerRows() {
    m_tracks = TrackTable::load(tracksPath); // read once per refresh, kept for its readers
    lvServer->setUpdatesEnabled(false);
    // One reset; the order follows in the proxy before anything is painted.
    const ServerListModel::Counts counts = lvServer->rows().refill(m_stats.hosts, m_tracks);
    playersTotal = counts.players;
    m_finder->rowsRefilled();
    lvServer->setUpdatesEnabled(true);
    // Laid out now, before the repaint: a layout the view leaves for later comes after
    // that repaint and paints the whole list a second time.
    lvServer->doItemsLayout();

    lSvrCount->setText(QStringLiteral("Servers online: %1").arg(counts.rows));
    lOccupied->setText(QStringLiteral("Servers occupied: %1").arg(counts.occupied));
    lPlayersOnline->setText(QStringLiteral("Players online: %1").arg(playersTotal));
}

void TfMain::SortServerList() {
    lvServer->sortRows(sortColumnIndex(), sortOrder());
}

int TfMain::sortColumnIndex() const {
    // A hand-edited settings file may hold any column.
    return (sortColumn >= 0 && sortColumn < ServerListModel::ColumnCount) ? sortColumn : 0;
}

Qt::SortOrder TfMain::sortOrder() const {
    return sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
}

QString TfMain::selectedServerCaption() const {
    return lvServer->selectedCaption().value_or(QString());
}

void TfMain::selectServerRow(const QString& caption) {
    lvServer->selectCaption(caption);
}

void TfMain::tAutoRefreshTimer() {
    // Skipped while the refresh before this one still waits for the service, or while
    // the box it opened is still up: an unreachable service must not stack boxes.
    if (m_refreshing || m_refreshTick)
        return;
    InProgress tick(m_refreshTick);
    guarded([&] {
        const QString caption = selectedServerCaption();
        RefreshServerList();
        if (!caption.isEmpty())
            selectServerRow(caption);
        rebuildRoster();
    });
}

void TfMain::lvServerColumnClick(int column) {
    guarded([&] {
        sortDescending = column == sortColumn ? !sortDescending : false;
        sortColumn = column;
        config.writeSortOrder(sortColumn, sortDescending);
        SortServerList();
    });
}

// ---- ticker -----------------------------------------------------------------------

QByteArray TfMain::FetchHighlights(int lines) {
    const auto fileUrl = [this](const QString& country) {
        return serviceUrl(highlightsServer,
                          QStringLiteral("/highlight_countries/") + HighlightsFileName(country));
    };
    QByteArray reply;
    try {
        reply = IdHTTPHighlights->get(fileUrl(settings.country));
    } catch (const PelmarkError& e) {
        const QByteArray all = IdHTTPHighlights->get(fileUrl(AllCountries));
        reply = FallbackMessage(settings.country) + all;
        // Only a file the service does not have moves the user to all countries for good;
        // after a passing failure his country is asked for again at the next pass.
        if (e.kind() == PelmarkError::Kind::HttpStatus && e.httpStatus() == 404) {
            settings.country = AllCountries;
            config.saveAppSettings(); // the country label follows
        }
    }
    return BuildTickerText(reply, lines);
}

void TfMain::LoadHighlights() {
    if (m_loadingHighlights)
        return; // a reload is still waiting for its reply
    InProgress busy(m_loadingHighlights);
    try {
        showHighlights();
    } catch (const PelmarkError&) {
        if (!m_highlightsStale)
            throw;
        // What failed was the text of the settings just replaced.
    }
    // Settings were confirmed while the reply of the old ones was awaited.
    while (m_highlightsStale) {
        m_highlightsStale = false;
        showHighlights();
    }
}

void TfMain::showHighlights() {
    lHighlights->hide();
    lHighlights->move(0, lHighlights->y());
    const QString text =
        Bounded(ToDisplay(FetchHighlights(settings.numHighlights)), MaxTickerChars);
    lHighlights->setText(text);
    // Sized to the text once; it keeps that width while it scrolls.
    lHighlights->resize(lHighlights->fontMetrics().horizontalAdvance(text), lHighlights->height());
    lHighlights->move(pMainTop->width(), lHighlights->y());
    lHighlights->show();
}

void TfMain::tScrollHighlightsTimer() {
    if (lHighlights->x() <= -lHighlights->width()) {
        tScrollHighlights->stop();
        if (!guarded([&] { LoadHighlights(); }))
            return; // the ticker stands still after a failed reload
        m_tickerHold->start();
    }
    lHighlights->move(lHighlights->x() - 5, lHighlights->y());
}

// ---- roster -----------------------------------------------------------------------

void TfMain::bAddGroupClick() {
    guarded([&] { m_rosterCommands->CreateGroup(); });
}

bool TfMain::chosenNodeGone() {
    if (!m_mateTree->chosenGone())
        return false;
    m_desktop.beep();
    return true;
}

void TfMain::bDelGroupClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_rosterCommands->DeleteGroup(m_mateTree->rememberedNode());
    });
}

void TfMain::bDelMateClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_rosterCommands->DeleteMate(m_mateTree->rememberedNode());
    });
}

void TfMain::bAddMateClick() {
    guarded([&] {
        if (chosenNodeGone())
            return;
        const QString group = RosterCommands::AddMateGroup(m_mateTree->rememberedNode());
        TfAddEditMate* dialog = addEditMateDialog();
        if (!dialog)
            return;
        dialog->PrepareAdd(group);
        dialog->RunModal();
    });
}

void TfMain::bEditMateClick() {
    guarded([&] {
        if (chosenNodeGone() || !m_mateTree->rememberedMate())
            return;
        const auto preset = m_rosterCommands->EditMatePreset(m_mateTree->rememberedDisplayName,
                                                             m_mateTree->rememberedGroup);
        if (!preset)
            return;
        TfAddEditMate* dialog = addEditMateDialog();
        if (!dialog)
            return;
        dialog->PrepareEdit(*preset);
        dialog->RunModal();
    });
}

void TfMain::bOnOfflineClick() {
    guarded([&] { m_mateTree->bOnOfflineClick(); });
}

void TfMain::tvMatesDblClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_mateTree->tvMatesDblClick();
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
        setAutoRefreshPeriod();
        if (m_loadingHighlights)
            m_highlightsStale = true; // the waiting reload shows the new text next
        else
            LoadHighlights();
    });
}

bool TfMain::failedInTray(const QString& reason) {
    // Boxes at every tick while the window is out of sight help nobody: the tray tells,
    // and the boxes come back once the window shows.
    if (!m_presence->hiddenInTray())
        return false;
    m_presence->tray()->setOffline(reason);
    return true;
}

std::optional<QTime> TfMain::nextTickTime() const {
    if (!tAutoRefresh->isActive())
        return std::nullopt;
    return QTime::currentTime().addMSecs(tAutoRefresh->remainingTime());
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

void TfMain::bJoinMateClick() {
    guarded([&] { joinChosenMate(false); });
}

void TfMain::bJoinPWClick() {
    guarded([&] { joinChosenMate(true); });
}

void TfMain::joinChosenMate(bool alwaysAskPassword) {
    if (chosenNodeGone())
        return;
    if (const std::optional<RosterNode> mate = m_mateTree->rememberedMate())
        m_launcher->JoinMate(mate->text, alwaysAskPassword);
}

void TfMain::joinHost(const QByteArray& host) {
    guarded([&] { m_launcher->JoinServer(ToDisplay(host), false); });
}

void TfMain::joinMateHost(const QByteArray& lfsName) {
    guarded([&] {
        if (const std::optional<QString> text = m_mateTree->shownMateText(lfsName))
            m_launcher->JoinMate(*text, false);
    });
}

void TfMain::bJoinSvrClick() {
    guarded([&] { m_launcher->JoinServer(selectedHost(), false); });
}

void TfMain::bJoinSvrPWClick() {
    guarded([&] { m_launcher->JoinServer(selectedHost(), true); });
}

std::optional<QString> TfMain::selectedHost() const {
    return lvServer->selectedCaption();
}

void TfMain::tCheckLFSTimer() {
    tCheckLFS->stop();
    guarded([&] { setAutoRefreshEnabled(!m_launcher->IsGameRunning()); });
    tCheckLFS->start();
}
