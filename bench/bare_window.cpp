// The yardstick for the whole program's idle cost: an empty window of the same toolkit,
// shown for a while and then closed.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;
    QWidget window;
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return QApplication::exec();
}
