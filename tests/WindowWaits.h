#pragma once

#include "GameWatch.h"
#include "MateCommands.h"
#include "RefreshController.h"
#include "Ticker.h"
#include "uMain.h"

#include <QSignalSpy>
#include <QTest>

// The window's requests answer through signals; these wait for them as a user would.

// Runs the creation sequence to its end; true when no step failed.
inline bool StartUp(TfMain& window) {
    QSignalSpy done(&window, &TfMain::startUpFinished);
    window.FormCreate();
    if (done.isEmpty())
        done.wait(30000);
    return !done.isEmpty() && done.first().first().toBool();
}

// One refresh as a tick or F5 makes it, with everything that follows it (the list, the
// boxes, the tree). False when it was skipped or no answer came.
inline bool Refresh(TfMain& window) {
    QSignalSpy done(&window.refresh(), &RefreshController::refreshed);
    if (!window.refresh().tAutoRefreshTimer())
        return false;
    return !done.isEmpty() || done.wait(30000);
}

// One step of the ticker; when it ends a pass, waits for the next pass's text.
inline void TickerStep(TfMain& window) {
    QSignalSpy loaded(&window.ticker(), &Ticker::loaded);
    window.ticker().tScrollHighlightsTimer();
    if (window.ticker().isLoading())
        loaded.wait(30000);
}
