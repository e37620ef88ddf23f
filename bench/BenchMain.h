#pragma once

#include "RunBenchmarks.h"

#include <QApplication>

// The main of a benchmark that needs widgets: an offscreen application around the runs.
inline int RunWidgetBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
