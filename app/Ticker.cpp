#include "Ticker.h"

#include "Desktop.h"
#include "ErrorHandler.h"
#include "Highlights.h"
#include "ProgramSettings.h"
#include "SingleByteText.h"
#include "TimerHold.h"

#include <QLabel>
#include <QStringList>
#include <QTimer>

namespace {

// Far more than any ticker needs; a reply with endless lines must not make the label
// wider than the window system can paint.
constexpr qsizetype MaxTickerChars = 20000;
constexpr int StepPixels = 5;

} // namespace

Ticker::Ticker(QLabel* label, ProgramSettings& settings, Desktop& desktop, QWidget* window)
    : QObject(window), m_label(label), m_settings(settings), m_desktop(desktop),
      m_service(new HighlightsService(this)), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("tScrollHighlights"));
    m_timer->setInterval(120);
    connect(m_timer, &QTimer::timeout, this, &Ticker::tScrollHighlightsTimer);
    connect(m_service, &HighlightsService::finished, this, &Ticker::answered);
    m_hold = new TimerHold(window, m_timer);
}

void Ticker::LoadHighlights(OnFailure onFailure) {
    const QStringList asked{m_settings.highlightsServer, m_settings.app.country,
                            QString::number(m_settings.app.numHighlights)};
    // The waiting fetch asks for just this: its answer will do.
    if (m_service->isWaiting() && asked == m_asked)
        return;
    m_asked = asked;
    m_onFailure = onFailure;
    m_stepAfterLoad = false;
    m_label->hide();
    m_label->move(0, m_label->y());
    m_service->FetchHighlights(m_settings.highlightsServer, m_settings.app.country,
                               m_settings.app.numHighlights);
}

void Ticker::answered(const HighlightsResult& result) {
    const bool stepNow = m_stepAfterLoad;
    m_stepAfterLoad = false;
    std::optional<PelmarkError> failure = result.error;
    if (!failure && result.countryMissing) {
        // The country's file is not there: all countries from now on.
        const QString before = m_settings.app.country;
        m_settings.app.country = AllCountries;
        try {
            m_settings.saveAppSettings(); // the country label follows
        } catch (const PelmarkError& e) {
            m_settings.app.country = before;
            failure = e;
        }
    }
    if (failure) {
        if (m_onFailure == OnFailure::Tell) {
            m_desktop.showError(StandardErrorText(failure->message()));
        } else {
            m_label->move(m_label->parentWidget()->width(), m_label->y());
            m_hold->start();
        }
        Q_EMIT loaded(false);
        return;
    }
    show(Bounded(ToDisplay(result.text), MaxTickerChars));
    m_hold->start();
    if (stepNow)
        m_label->move(m_label->x() - StepPixels, m_label->y());
    Q_EMIT loaded(true);
}

void Ticker::show(const QString& text) {
    m_label->setText(text);
    // Sized to the text once; it keeps that width while it scrolls.
    m_label->resize(m_label->fontMetrics().horizontalAdvance(text), m_label->height());
    m_label->move(m_label->parentWidget()->width(), m_label->y());
    m_label->show();
}

void Ticker::tScrollHighlightsTimer() {
    if (m_label->x() <= -m_label->width()) {
        m_timer->stop(); // the next pass begins once its text is in; none after a failure
        LoadHighlights(OnFailure::Tell);
        m_stepAfterLoad = true;
        return;
    }
    m_label->move(m_label->x() - StepPixels, m_label->y());
}
