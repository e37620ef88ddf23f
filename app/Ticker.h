#pragma once

#include "HighlightsService.h"

#include <QObject>
#include <QStringList>

class Desktop;
class ProgramSettings;
class QLabel;
class QTimer;
class TimerHold;

// The highlights ticker: fetches the text, shows it from the strip's right edge and moves
// it 5 pixels to the left every 120 ms. When a pass has run out at the left edge, the
// text is fetched again and the next pass begins. Nothing of it runs while the window
// cannot be seen.
class Ticker : public QObject {
    Q_OBJECT
public:
    // How a failed fetch is taken.
    enum class OnFailure {
        Tell,  // an error box, and the ticker stands still
        Quiet, // said already: the empty text scrolls across and its pass asks again
    };

    Ticker(QLabel* label, ProgramSettings& settings, Desktop& desktop, QWidget* window);

    QTimer* timer() const { return m_timer; }
    HighlightsService& service() { return *m_service; }
    // Fetches the text with the current settings. A fetch still waiting for other settings
    // is dropped, its answer never shown; one for the same settings is left to answer.
    void LoadHighlights(OnFailure onFailure = OnFailure::Tell);
    bool isLoading() const { return m_service->isWaiting(); }
    // One step of the scroll, as each tick of the timer takes.
    void tScrollHighlightsTimer();

Q_SIGNALS:
    // A fetch has come to its end, shown or told.
    void loaded(bool ok);

private:
    void answered(const HighlightsResult& result);
    void show(const QString& text);

    QLabel* m_label;
    ProgramSettings& m_settings;
    Desktop& m_desktop;
    HighlightsService* m_service;
    QTimer* m_timer;
    TimerHold* m_hold;
    QStringList m_asked; // the address, country and lines of the last fetch
    OnFailure m_onFailure = OnFailure::Tell;
    bool m_stepAfterLoad = false; // the fetch at a pass's end takes that pass's last step
};
