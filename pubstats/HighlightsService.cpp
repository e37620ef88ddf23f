#include "HighlightsService.h"

#include "Highlights.h"
#include "HostListService.h"
#include "HttpClient.h"

#include <QUrl>

HighlightsService::HighlightsService(QObject* parent)
    : QObject(parent), m_client(new HttpClient(this)) {}

void HighlightsService::FetchHighlights(const QString& address, const QString& country, int lines) {
    drop();
    m_address = address;
    m_country = country;
    m_lines = lines;
    request(country, [this](const HttpResult& answer) { countryAnswered(answer); });
}

bool HighlightsService::isWaiting() const {
    return m_waiting && !m_waiting->isFinished();
}

void HighlightsService::drop() {
    if (m_waiting)
        m_waiting->abort();
    m_waiting = nullptr;
}

void HighlightsService::request(const QString& country,
                                std::function<void(const HttpResult&)> answered) {
    m_waiting = m_client->get(ServiceUrl(m_address, QStringLiteral("/highlight_countries/") +
                                                        HighlightsFileName(country)));
    connect(m_waiting, &HttpReply::finished, this, std::move(answered));
}

void HighlightsService::countryAnswered(const HttpResult& answer) {
    m_waiting = nullptr;
    if (answer.ok()) {
        HighlightsResult result;
        result.text = BuildTickerText(answer.body, m_lines);
        Q_EMIT finished(result);
        return;
    }
    // Only a file the service does not have moves the user to all countries for good;
    // after a passing failure his country is asked for again at the next pass.
    const bool missing =
        answer.error->kind() == PelmarkError::Kind::HttpStatus && answer.error->httpStatus() == 404;
    request(AllCountries, [this, missing](const HttpResult& all) {
        m_waiting = nullptr;
        HighlightsResult result;
        if (all.ok()) {
            result.text = BuildTickerText(FallbackMessage(m_country) + all.body, m_lines);
            result.countryMissing = missing;
        } else {
            result.error = all.error;
        }
        Q_EMIT finished(result);
    });
}
