#pragma once

#include "AppPaths.h"
#include "ProgramSettings.h"
#include "QuillonPubStats.h"
#include "ServerListView.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class ColumnMemory;
class GameWatch;
class HttpClient;
struct HostListResult;
class Desktop;
class EmptyListNote;
class Launcher;
class MatePresence;
class MainCommands;
class MateCommands;
class MateTree;
class ProfileStore;
class RefreshController;
class RefreshDisplay;
class QLabel;
class QPushButton;
class QSplitter;
class QTimer;
class QToolButton;
class QTreeView;
class RosterCommands;
class ServerFinder;
class SightingsSource;
class TfLegends;
class TfSettings;
class Ticker;
class WindowPlace;

// The main window. It wires the controls to the work of the folders' libraries.
class TfMain : public QWidget {
    Q_OBJECT
public:
    // paths: where the settings, the data folder and Tracks.data are (tools/AppPaths).
    TfMain(Desktop& desktop, const AppPaths& paths, QWidget* parent = nullptr);
    // A portable program folder around exePath, the running program's file.
    TfMain(Desktop& desktop, const QString& exePath, QWidget* parent = nullptr);
    ~TfMain() override;

    // The creation sequence: the settings, the first refresh, the tree, the ticker. An
    // error is shown in the error box; the steps after a failed refresh or roster still
    // run. startUpFinished says when it is done.
    void FormCreate();
    // The dialogs, each made when first opened: most runs open few of them, if any.
    TfLegends* legendsDialog();
    TfSettings* settingsDialog();

    // Settings, kept in memory; only config reads and writes the file.
    ProgramSettings config;
    AppSettings& settings = config.app;

    const AppPaths paths;
    const QString& dataDir = paths.dataDir;

    // Service addresses (section SERVICE); defaultService when the keys are missing.
    QString defaultService;

    // Refresh (server list).
    void lvServerColumnClick(int column);
    void SortServerList();
    RefreshController& refresh() { return *m_refresh; }
    Ticker& ticker() { return *m_ticker; }
    GameWatch& gameWatch() { return *m_gameWatch; }

    // Handlers of the window's own buttons and links; the mate tree's are MateCommands'.
    void bSettingsClick();
    void bStartLFSClick();
    void bLegendsClick();
    void Image2Click();
    void pMainTopResize();
    // Opens "More settings..." at the ident key (the empty list's link).
    void enterIdentKey();
    // Joins the selected row's host as "Join" / "Join with password" do.
    void joinSelectedHost(bool alwaysAskPassword);
    // Joins that host as "Join" does on its row.
    void joinHost(const QByteArray& host);
    EmptyListNote& emptyListNote() { return *m_emptyNote; }

    QuillonPubStats& stats() { return m_stats; }
    MateTree& mateTree() { return *m_mateTree; }
    RosterCommands& rosterCommands() { return *m_rosterCommands; }
    MatePresence& presence() { return *m_presence; }
    ServerFinder& finder() { return *m_finder; }
    MateCommands& mateCommands() { return *m_mateCommands; }
    MainCommands& commands() { return *m_commands; }

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
    QTreeView* tvMates = nullptr;
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

Q_SIGNALS:
    // Creation is done: true when no step failed.
    void startUpFinished(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builds the controls and their arrangement (uMainLayout.cpp).
    void CreateControls();
    void makePieces();
    void connectRefresh();
    // Makes the window's commands, gives them to the buttons and menus, connects them.
    void connectCommands();
    void connectCommandFollowers();
    // Runs a handler body through the top-level error handler.
    template <typename Body> bool guarded(Body&& body);
    void continueStartUp(const HostListResult& result);
    void followRefresh(const HostListResult& result);
    // RebuildRoster, then the mates-online pass after a refresh that brought a host list.
    void rebuildRoster(bool afterHostList);

    Desktop& m_desktop;
    QuillonPubStats m_stats;
    std::unique_ptr<ProfileStore> m_store;
    MateTree* m_mateTree = nullptr;
    RosterCommands* m_rosterCommands = nullptr;
    std::unique_ptr<Launcher> m_launcher;
    MateCommands* m_mateCommands = nullptr;
    MainCommands* m_commands = nullptr;
    QPointer<TfLegends> m_legends;
    QPointer<TfSettings> m_settings;
    MatePresence* m_presence = nullptr;
    ServerFinder* m_finder = nullptr;
    SightingsSource* m_sightings = nullptr; // who of the roster races where
    ColumnMemory* m_columns = nullptr;
    WindowPlace* m_place = nullptr;
    EmptyListNote* m_emptyNote = nullptr;
    RefreshController* m_refresh = nullptr;
    Ticker* m_ticker = nullptr;
    GameWatch* m_gameWatch = nullptr;
    QString m_keptCaption; // the row selected when the refresh went out
    std::unique_ptr<RefreshDisplay> m_display;
};
