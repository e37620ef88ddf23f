#pragma once

#include "AppPaths.h"
#include "AppSettings.h"
#include "ProgramSettings.h"
#include "QuillonPubStats.h"
#include "QuillonTools.h"
#include "ServerListView.h"
#include "TrackNaming.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QTime>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class ColumnMemory;
class Desktop;
class EmptyListNote;
class HttpClient;
class Launcher;
class MainCommands;
class MatePresence;
class MateTree;
class ProfileStore;
class QAbstractButton;
class QDialog;
class QLabel;
class QPushButton;
class QSplitter;
class QTimer;
class QToolButton;
class QTreeWidget;
class RosterCommands;
class ServerFinder;
class TfAddEditMate;
class TfLegends;
class TfSettings;
class TimerHold;

// The main window. It wires the controls to the work of the folders' libraries.
class TfMain : public QWidget {
    Q_OBJECT
public:
    // paths: where the settings, the data folder and Tracks.data are (tools/AppPaths).
    TfMain(Desktop& desktop, const AppPaths& paths, QWidget* parent = nullptr);
    // A portable program folder around exePath, the running program's file.
    TfMain(Desktop& desktop, const QString& exePath, QWidget* parent = nullptr);
    ~TfMain() override;

    // The creation sequence. An error ends it at the failing step (shown in the error
    // box); the window opens all the same. Returns false when a step failed.
    bool FormCreate();
    // The dialogs, each made when first opened: most runs open few of them, if any.
    TfLegends* legendsDialog();
    TfAddEditMate* addEditMateDialog();
    TfSettings* settingsDialog();

    // Settings, kept in memory; only config reads and writes the file.
    ProgramSettings config;
    AppSettings& settings = config.app;
    int& sortColumn = config.sortColumn;
    bool& sortDescending = config.sortDescending;
    int playersTotal = 0;

    QString exeDir;    // ends in '/'
    QString dataDir;   // portable: exeDir + "data/"; installed: the user's data folder
    QString groupsDir; // dataDir + "groups/"
    QString tracksPath;
    TFileVersionInfo versionInfo;

    // Service addresses (section SERVICE); defaultService when the keys are missing.
    QString defaultService;
    QString& statsServer = config.statsServer;
    QString& highlightsServer = config.highlightsServer;

    // Refresh (server list).
    void RefreshServerList();
    void tAutoRefreshTimer();
    void lvServerColumnClick(int column);
    void SortServerList();
    bool refreshInProgress() const { return m_refreshing; }

    // Ticker.
    QByteArray FetchHighlights(int lines);
    void LoadHighlights();
    void tScrollHighlightsTimer();
    bool highlightsInProgress() const { return m_loadingHighlights; }

    // Roster and launcher handlers.
    void bAddGroupClick();
    void bDelGroupClick();
    void bAddMateClick();
    void bDelMateClick();
    void bEditMateClick();
    void bOnOfflineClick();
    void bSettingsClick();
    void bStartLFSClick();
    void bJoinMateClick();
    void bJoinPWClick();
    void bJoinSvrClick();
    void bJoinSvrPWClick();
    void bLegendsClick();
    void Image2Click();
    void tCheckLFSTimer();
    void tvMatesDblClick();
    void pMainTopResize();
    // Opens "More settings..." at the ident key (the empty list's link).
    void enterIdentKey();
    EmptyListNote& emptyListNote() { return *m_emptyNote; }

    QuillonPubStats& stats() { return m_stats; }
    MateTree& mateTree() { return *m_mateTree; }
    RosterCommands& rosterCommands() { return *m_rosterCommands; }
    HttpClient& httpClient() { return *IdHTTP; }
    Desktop& desktop() { return m_desktop; }
    MatePresence& presence() { return *m_presence; }
    ServerFinder& finder() { return *m_finder; }
    MainCommands& commands() { return *m_commands; }
    // Selects the first row whose caption equals caption, whatever the case.
    void selectServerRow(const QString& caption);
    // Joins the host of the person's first node in the tree, as "Join mate" would on it.
    void joinMateHost(const QByteArray& lfsName);
    // Joins that host as "Join" does on its row.
    void joinHost(const QByteArray& host);

    // Controls (names as the layout gives them).
    QSplitter* spLeft = nullptr;
    QWidget* pRight = nullptr;
    QWidget* pRightTop = nullptr;
    QWidget* pRightBottom = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* pClient = nullptr;
    QWidget* pMainTop = nullptr;
    QWidget* pClientBottom = nullptr;
    QWidget* pStatus = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* sHighlights = nullptr;
    QWidget* Shape1 = nullptr;
    QWidget* Shape2 = nullptr;
    QWidget* Shape4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lVersion = nullptr;
    QLabel* lCopyright = nullptr;
    QLabel* lCountry = nullptr;
    QLabel* lHighlights = nullptr;
    QLabel* lMateInfo = nullptr;
    QLabel* lSvrCount = nullptr;
    QLabel* lOccupied = nullptr;
    QLabel* lSvrMates = nullptr;
    QLabel* lPlayersOnline = nullptr;
    QTreeWidget* tvMates = nullptr;
    ServerListView* lvServer = nullptr;
    QToolButton* bAddGroup = nullptr;
    QToolButton* bDelGroup = nullptr;
    QToolButton* bAddMate = nullptr;
    QToolButton* bDelMate = nullptr;
    QToolButton* bEditMate = nullptr;
    QToolButton* bSettings = nullptr;
    QToolButton* bStartLFS = nullptr;
    QToolButton* bOnOffline = nullptr;
    QToolButton* bJoinMate = nullptr;
    QToolButton* bJoinPW = nullptr;
    QToolButton* bJoinSvr = nullptr;
    QToolButton* bJoinSvrPW = nullptr;
    QPushButton* bLegends = nullptr;
    QTimer* tAutoRefresh = nullptr;
    QTimer* tScrollHighlights = nullptr;
    QTimer* tCheckLFS = nullptr;
    HttpClient* IdHTTP = nullptr;
    HttpClient* IdHTTPHighlights = nullptr;
    QList<QIcon> ilServerStatus;
    QList<QIcon> ilMateStatus;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builds the controls and their arrangement (uMainLayout.cpp).
    void CreateControls();
    // Connects the controls' events to the handlers.
    void WireHandlers();
    // Makes the window's commands, gives them to the buttons and menus, connects them.
    void connectCommands();
    // Runs a handler body through the top-level error handler.
    template <typename Body> bool guarded(Body&& body);
    // One fetch of the ticker text, shown from the right edge.
    void showHighlights();
    QString selectedServerCaption() const;
    std::optional<QString> selectedHost() const;
    void setAutoRefreshPeriod();
    void setAutoRefreshEnabled(bool on);
    // When the next refresh tick comes; nothing while none is due.
    std::optional<QTime> nextTickTime() const;
    // True when the failure was told in the tray instead of a box.
    bool failedInTray(const QString& reason);
    void fillServerRows();
    // RebuildRoster, then the mates-online pass after a refresh that brought a host list.
    void rebuildRoster();
    void startTickerAfterFailedStart();
    int sortColumnIndex() const;
    Qt::SortOrder sortOrder() const;
    void joinChosenMate(bool alwaysAskPassword);
    // Beeps when the node the user chose was lost in a rebuild: the command then does nothing.
    bool chosenNodeGone();

    Desktop& m_desktop;
    QString m_exePath;
    QuillonPubStats m_stats;
    std::unique_ptr<ProfileStore> m_store;
    MateTree* m_mateTree = nullptr;
    RosterCommands* m_rosterCommands = nullptr;
    Launcher* m_launcher = nullptr;
    TfLegends* m_legends = nullptr;
    TfAddEditMate* m_addEditMate = nullptr;
    TfSettings* m_settings = nullptr;
    std::vector<std::unique_ptr<QDialog>> m_ownDialogs; // the dialogs made here
    bool m_refreshing = false;
    bool m_hostListDecoded = false; // the last refresh brought a host list
    MatePresence* m_presence = nullptr;
    ServerFinder* m_finder = nullptr;
    MainCommands* m_commands = nullptr;
    ColumnMemory* m_columns = nullptr;
    EmptyListNote* m_emptyNote = nullptr;
    // A bad hand-edited ident key is reported once per run, not at every refresh.
    bool m_identKeyReported = false;
    QString m_identKeySent;     // the key of the last host-list request
    bool m_gameRunning = false; // the watch holds the automatic refresh off meanwhile
    bool m_loadingHighlights = false;
    TimerHold* m_tickerHold = nullptr;
    TrackTable m_tracks;            // the track names of the last refresh
    bool m_highlightsStale = false; // reload again once the waiting reply is in
    bool m_refreshTick = false;     // a refresh tick runs, or the box it opened is up
};
