#pragma once

#include "HostListService.h"

#include <QObject>
#include <QString>
#include <QTime>
#include <optional>

class ProgramSettings;
class QTimer;

// When the host list is asked for: the automatic refresh at the user's interval, "Refresh
// now" (F5, the tray) and a new ident key. A tick that comes while the last request still
// waits, or while its followers still tell its outcome (an open box), is skipped, so an
// unreachable service never stacks requests or boxes. While the game runs, no tick comes;
// when it ends, a fresh period begins.
class RefreshController : public QObject {
    Q_OBJECT
public:
    RefreshController(const ProgramSettings& settings, QObject* parent = nullptr);

    HostListService& service() { return *m_service; }
    // The service's host list: that of the last refresh that decoded one.
    const HostList& hosts() const { return m_service->hosts(); }
    QTimer* timer() const { return m_timer; }

    // Lets the timer tick at the user's interval; before this, only tAutoRefreshTimer() asks.
    void start();
    // Takes the interval from the settings: a changed period starts afresh, 0 never ticks.
    void applyInterval();
    // A tick, "Refresh now" (F5, the tray) and a new key: asks now, or returns false when
    // skipped because the last request is not done with.
    bool tAutoRefreshTimer();
    // Asks now when the ident key differs from the one the last request was made with.
    void refreshIfKeyChanged();
    bool isWaiting() const { return m_busy; }
    // While held (the rest of the program's start, with its boxes), every tick is skipped.
    void setHeld(bool held) { m_held = held; }
    void setGameRunning(bool running);
    // When the next tick comes; nothing while none is due.
    std::optional<QTime> nextTickTime() const;

Q_SIGNALS:
    // A request goes out now (the followers keep what they want back after it).
    void refreshStarted();
    // Emitted before the request goes out, the first time a set key is not valid.
    void identKeyRejected();
    void refreshed(const HostListResult& result);

private:
    void RefreshServerList();
    void answered(const HostListResult& result);
    void updateTimer(bool freshPeriod);

    const ProgramSettings& m_settings;
    HostListService* m_service;
    QTimer* m_timer;
    QString m_keySent;
    bool m_started = false;
    bool m_busy = false;
    bool m_held = false;
    bool m_gameRunning = false;
};
