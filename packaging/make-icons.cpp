// Writes the program's icon for the desktop's icon theme: the SVG the window shows, and
// the PNG sizes drawn from it the way the window draws it.
#include "PictureFiles.h"
#include "Pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR ICON_NAME\n", argv[0]);
        return 2;
    }
    // Drawing needs an application object, but no display.
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    int appArgc = 3;
    char* appArgv[] = {argv[0], platform, offscreen, nullptr};
    QGuiApplication app(appArgc, appArgv);

    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : Pictures::AppIconSizes()) {
        const QString dir = root + QStringLiteral("%1x%1/apps/").arg(size);
        const QImage image = Pictures::AppIconImage(size);
        if (image.size() != QSize(size, size) || !QDir().mkpath(dir) ||
            !image.save(dir + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon in %s\n", size, size,
                         qPrintable(dir));
            return 1;
        }
    }
    LoadPictureFiles();
    QFile source(QString::fromLatin1(PictureFile::ProgramIcon));
    const QString scalable = root + QStringLiteral("scalable/apps/");
    QFile svg(scalable + name + QStringLiteral(".svg"));
    if (!source.open(QIODevice::ReadOnly) || !QDir().mkpath(scalable) ||
        !svg.open(QIODevice::WriteOnly) || svg.write(source.readAll()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
