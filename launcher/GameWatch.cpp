#include "GameWatch.h"

#include <QTimer>

GameWatch::GameWatch(std::function<bool()> probe, QObject* parent)
    : QObject(parent), m_probe(std::move(probe)), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("tCheckLFS"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &GameWatch::check);
}

void GameWatch::start() {
    m_timer->start();
}

void GameWatch::check() {
    // No tick while a follower's box is up: one look at a time.
    const bool ticking = m_timer->isActive();
    m_timer->stop();
    try {
        const bool running = m_probe();
        if (running != m_running) {
            m_running = running;
            Q_EMIT runningChanged(running);
        }
    } catch (const PelmarkError& e) {
        Q_EMIT failed(e);
    }
    if (ticking)
        m_timer->start();
}
