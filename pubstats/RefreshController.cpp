#include "RefreshController.h"

#include "ProgramSettings.h"

#include <QTimer>
#include <climits>

RefreshController::RefreshController(const ProgramSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_service(new HostListService(this)),
      m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("tAutoRefresh"));
    m_timer->setInterval(70000);
    connect(m_timer, &QTimer::timeout, this, &RefreshController::tAutoRefreshTimer);
    connect(m_service, &HostListService::identKeyRejected, this,
            &RefreshController::identKeyRejected);
    connect(m_service, &HostListService::finished, this, &RefreshController::answered);
}

void RefreshController::start() {
    m_started = true;
    updateTimer(false);
}

void RefreshController::applyInterval() {
    const int period = int(std::min<quint32>(m_settings.app.interval, INT_MAX));
    const bool changed = m_timer->interval() != period;
    m_timer->setInterval(period);
    updateTimer(changed);
}

void RefreshController::updateTimer(bool freshPeriod) {
    // A period of 0 never fires (a QTimer of 0 would fire at every turn of the loop).
    if (!m_started || m_gameRunning || m_settings.app.interval == 0)
        m_timer->stop();
    else if (freshPeriod || !m_timer->isActive())
        m_timer->start();
}

void RefreshController::setGameRunning(bool running) {
    if (running == m_gameRunning)
        return;
    m_gameRunning = running;
    updateTimer(true);
}

bool RefreshController::tAutoRefreshTimer() {
    if (m_busy || m_held)
        return false;
    RefreshServerList();
    return true;
}

void RefreshController::RefreshServerList() {
    m_busy = true;
    Q_EMIT refreshStarted();
    m_keySent = m_settings.app.identKey;
    // The key's note, if any, is a box: the request goes out once it is closed. The
    // service is free whenever m_busy is not set, so it takes the request.
    m_service->fetch(m_settings.statsServer, m_keySent);
}

void RefreshController::refreshIfKeyChanged() {
    if (m_settings.app.identKey != m_keySent)
        tAutoRefreshTimer();
}

void RefreshController::answered(const HostListResult& result) {
    // Busy until every follower has told the outcome: a box they open holds ticks off.
    Q_EMIT refreshed(result);
    m_busy = false;
}

std::optional<QTime> RefreshController::nextTickTime() const {
    if (!m_timer->isActive())
        return std::nullopt;
    return QTime::currentTime().addMSecs(m_timer->remainingTime());
}
