#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Desktop;

// Starting the game, plainly or joining a host, and watching whether it runs.
// The main window's handlers call it; it keeps no state between calls. Every join passes
// through it, so it is where the joins are told to whoever follows them.
class Launcher {
public:
    // lfsPath is asked at each start and each watch tick, so a changed setting
    // applies at once.
    // hosts: the last host list, which says whether a host wants a password.
    Launcher(Desktop& desktop, const HostList& hosts, std::function<QString()> lfsPath);

    // Starts the game with the parameter string, or says that it is not found (false).
    bool LaunchLFS(const QString& parameters);
    void StartLFS();
    // "Join mate": the host the chosen mate races on; empty while he races nowhere.
    void JoinMate(const QByteArray& mateHost, bool alwaysAskPassword);
    // selectedHost: the Name text of the selected server row; none when no row is.
    void JoinServer(const std::optional<QString>& selectedHost, bool alwaysAskPassword);
    // A host by its name as the list holds it (a favourite, a recent host, a watched one),
    // as "Join" joins a row's host.
    void JoinHost(const QByteArray& host, bool alwaysAskPassword = false);

    // The watch: the configured path among the running programs (A-Z in either case).
    bool IsGameRunning() const;

    // Each is told the host of every join whose start was asked for, whoever asked for
    // it (the recent hosts, the slot watches).
    void addJoinFollower(std::function<void(const QByteArray& host)> follower) {
        m_joinFollowers.push_back(std::move(follower));
    }

private:
    Desktop& m_desktop;
    const HostList& m_hosts;
    std::function<QString()> m_lfsPath;
    std::vector<std::function<void(const QByteArray& host)>> m_joinFollowers;
};

// The game's command line: "/join=HOST", or "/join=HOST /pass=PW" with a password
// (which may be empty). Nothing is quoted: a blank in the host name stays a blank.
QString JoinParameters(const QString& host, const std::optional<QString>& password);
