#pragma once

#include "FakeDesktop.h"
#include "FakeService.h"
#include "HostListBuilder.h"
#include "ServerListView.h"
#include "WindowWaits.h"
#include "uMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A main window in a temporary program folder, talking to a fake service.
struct MainWindowFixture {
    QTemporaryDir dir;
    FakeService service;
    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;
    QByteArray hostsReply;
    QByteArray highlightsReply = "first\r\nsecond\r\n";
    bool serviceDown = false;
    QStringList highlightFiles{QStringLiteral("highlights.txt")};

    explicit MainWindowFixture(const QByteArray& extraConfig = {}) {
        QDir(dir.path()).mkpath(QStringLiteral("data/groups"));
        writeFile(QStringLiteral("data/Tracks.data"), "[010]\nName=Blackwood GP Track\n");
        writeFile(QStringLiteral("Pelmark2.config"),
                  "[SERVICE]\nStatsServer=" + service.baseUrl().toLatin1() +
                      "\nHighlightsServer=" + service.baseUrl().toLatin1() + "\n" + extraConfig);
        service.setHandler([this](const httplib::Request& req, httplib::Response& res) {
            if (serviceDown) {
                res.status = 503;
                return;
            }
            if (req.path == "/pubstat/get_stat2.php") {
                res.set_content(hostsReply.toStdString(), "application/octet-stream");
                return;
            }
            const QString file = QString::fromStdString(req.path).section(QLatin1Char('/'), -1);
            if (highlightFiles.contains(file))
                res.set_content(highlightsReply.toStdString(), "text/plain");
            else
                res.status = 404;
        });
    }

    void writeFile(const QString& relative, const QByteArray& content) {
        QFile f(dir.filePath(relative));
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
    QByteArray readFile(const QString& relative) const {
        QFile f(dir.filePath(relative));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString configPath() const { return dir.filePath(QStringLiteral("Pelmark2.config")); }

    TfMain& create() {
        window = std::make_unique<TfMain>(desktop, dir.filePath(QStringLiteral("Pelmark2")));
        return *window;
    }
    TfMain& start() {
        create();
        StartUp(*window);
        return *window;
    }

    QStringList column(int c) const {
        QStringList texts;
        for (int i = 0; i < window->lvServer->rowCount(); ++i)
            texts << window->lvServer->rowText(i, c);
        return texts;
    }
};
