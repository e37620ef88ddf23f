#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

// A stand-in for the game: a script that writes its working directory and one line
// per argument to a file beside it, then ends. The paths are written into the script
// because the started game does not get our environment.
struct FakeGame {
    QString path;
    QString outputPath;

    static FakeGame create(const QString& dir, const QString& name = QStringLiteral("lfsgame")) {
        FakeGame game{dir + u'/' + name, dir + QStringLiteral("/game-output.txt")};
        const QString script = QStringLiteral("#!/bin/sh\n"
                                              "{ pwd -P; echo \"$#\"; for a in \"$@\"; do "
                                              "printf '[%s]\\n' \"$a\"; done; } > '%1.tmp'\n"
                                              "mv '%1.tmp' '%1'\n")
                                   .arg(game.outputPath);
        QFile file(game.path);
        if (!file.open(QIODevice::WriteOnly) || file.write(script.toUtf8()) < 0)
            qFatal("cannot write the fake game");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return game;
    }

    struct Run {
        QString workingDirectory;
        QStringList arguments;
    };

    // What the game recorded, once it has run; waits a few seconds for a detached start.
    std::optional<Run> recorded(int timeoutMs = 5000) const {
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(outputPath)) {
            if (clock.elapsed() > timeoutMs)
                return std::nullopt;
            QTest::qWait(20);
        }
        QFile file(outputPath);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        lines.removeLast(); // after the final newline
        Run run;
        run.workingDirectory = lines.takeFirst();
        const int count = lines.takeFirst().toInt();
        for (const QString& line : lines)
            run.arguments << line.mid(1, line.size() - 2);
        if (run.arguments.size() != count)
            return std::nullopt;
        return run;
    }
};
