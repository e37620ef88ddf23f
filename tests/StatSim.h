#pragma once

#include "HttpClient.h"
#include "HttpWait.h"
#include "PelmarkError.h"

#include <QProcess>
#include <QStringList>
#include <QUrl>

// pelmark-statsim (STATSIM_PATH, set by the suite's CMake) on a free loopback port,
// stopped when it goes out of scope.
class StatSim {
public:
    explicit StatSim(QStringList args = {}) {
        m_process.start(QStringLiteral(STATSIM_PATH),
                        args << QStringLiteral("--port") << QStringLiteral("0"));
        QByteArray line;
        while (!line.contains('\n') && m_process.waitForReadyRead(10'000))
            line += m_process.readAllStandardOutput();
        const QByteArray prefix = "listening on 127.0.0.1:";
        if (line.startsWith(prefix))
            m_port = line.mid(prefix.size()).trimmed().toInt();
    }
    ~StatSim() {
        m_process.terminate();
        if (!m_process.waitForFinished(10'000))
            m_process.kill();
    }
    int port() const { return m_port; }
    QProcess& process() { return m_process; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    QUrl url(const QString& pathAndQuery) const { return QUrl(baseUrl() + pathAndQuery); }

    // Switches the fault of the following requests; true when the simulator took it.
    bool setFault(const QString& query) {
        try {
            HttpClient client;
            GetNow(client, url(QStringLiteral("/sim/control?") + query));
            return true;
        } catch (const PelmarkError&) {
            return false;
        }
    }

    // The host-list requests the simulator (started with --log) logged since the last call;
    // a request's line may come a moment after its reply, so this waits for as many as
    // expected.
    QStringList hostRequests(int expected) {
        QByteArray log;
        QStringList requests;
        for (;;) {
            log += m_process.readAllStandardError();
            requests.clear();
            for (const QByteArray& line : log.split('\n'))
                if (line.startsWith("GET /pubstat/"))
                    requests << QString::fromLatin1(line);
            if (requests.size() >= expected || !m_process.waitForReadyRead(5000))
                return requests;
        }
    }

private:
    QProcess m_process;
    int m_port = 0;
};
