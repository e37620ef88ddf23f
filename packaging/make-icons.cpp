// Writes the program's icon for the desktop's icon theme: the PNG sizes and the SVG,
// all drawn from the picture the window itself shows.
#include "Pictures.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR ICON_NAME\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : Pictures::AppIconSizes()) {
        const QString dir = root + QStringLiteral("%1x%1/apps/").arg(size);
        if (!QDir().mkpath(dir) ||
            !Pictures::AppIconImage(size).save(dir + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon in %s\n", size, size,
                         qPrintable(dir));
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("scalable/apps/");
    QFile svg(scalable + name + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) ||
        svg.write(Pictures::AppIconSvg()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
