#include "Launcher.h"

#include "Desktop.h"
#include "ExecuteFile.h"
#include "ProcessList.h"
#include "SingleByteText.h"

#include <QFileInfo>

Launcher::Launcher(Desktop& desktop, const HostList& hosts, std::function<QString()> lfsPath)
    : m_desktop(desktop), m_hosts(hosts), m_lfsPath(std::move(lfsPath)) {}

bool Launcher::LaunchLFS(const QString& parameters) {
    const QString path = m_lfsPath();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_desktop.showMessage(QStringLiteral("LFS.exe not found. Please check settings!"));
        return false;
    }
    ExecuteFile(m_desktop, path, parameters);
    return true;
}

void Launcher::StartLFS() {
    LaunchLFS(QString());
}

void Launcher::JoinMate(const QByteArray& mateHost, bool alwaysAskPassword) {
    if (!mateHost.isEmpty())
        JoinHost(mateHost, alwaysAskPassword);
}

void Launcher::JoinServer(const std::optional<QString>& selectedHost, bool alwaysAskPassword) {
    if (!selectedHost) {
        m_desktop.beep();
        return;
    }
    JoinHost(FromDisplay(*selectedHost), alwaysAskPassword);
}

void Launcher::JoinHost(const QByteArray& host, bool alwaysAskPassword) {
    const QString hostText = ToDisplay(host);
    const auto launch = [&](const std::optional<QString>& password) {
        if (!LaunchLFS(JoinParameters(hostText, password)))
            return;
        for (const auto& follower : m_joinFollowers)
            follower(host);
    };
    if (!alwaysAskPassword && !HostNeedsPassword(m_hosts, host)) {
        launch(std::nullopt);
        return;
    }
    const std::optional<QString> password = m_desktop.inputBox(
        QStringLiteral("Enter passwort for server: ") + hostText, QStringLiteral("Password"));
    if (!password) {
        // Only a prompt the user did not ask for earns a beep when turned down.
        if (!alwaysAskPassword)
            m_desktop.beep();
        return;
    }
    // The game reads single bytes, like every other name the user types.
    launch(ToDisplay(FromDisplay(*password)));
}

bool Launcher::IsGameRunning() const {
    const QString path = m_lfsPath();
    if (path.isEmpty())
        return false;
    if (const std::optional<bool> watched = m_desktop.isProgramRunning(path))
        return *watched;
    return IsProcessRunning(m_desktop.listProcesses(), path, true);
}

QString JoinParameters(const QString& host, const std::optional<QString>& password) {
    QString parameters = QStringLiteral("/join=") + host;
    if (password)
        parameters += QStringLiteral(" /pass=") + *password;
    return parameters;
}
