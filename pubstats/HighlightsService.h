#pragma once

#include "PelmarkError.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class HttpClient;
class HttpReply;
struct HttpResult;

struct HighlightsResult {
    // The ticker text (BuildTickerText of the reply, with FallbackMessage before the
    // all-countries reply when the country's file failed); empty on failure.
    QByteArray text;
    // Both the country's file and the all-countries file failed: the latter's error.
    std::optional<PelmarkError> error;
    // The country's file is not there (404) and the all-countries file came instead:
    // the user's country is to become AllCountries for good. After any other failure
    // of his country's file it is asked for again next time.
    bool countryMissing = false;
    bool ok() const { return !error; }
};

// Fetches the ticker's lines: "/highlight_countries/" + HighlightsFileName(country)
// under the highlights address, falling back to the all-countries file.
class HighlightsService : public QObject {
    Q_OBJECT
public:
    explicit HighlightsService(QObject* parent = nullptr);

    HttpClient& client() { return *m_client; }
    // Starts a fetch; one still waiting is dropped first (its answer never reported),
    // so the newest settings always win.
    void FetchHighlights(const QString& address, const QString& country, int lines);
    bool isWaiting() const;

Q_SIGNALS:
    void finished(const HighlightsResult& result);

private:
    void drop();
    void request(const QString& country, std::function<void(const HttpResult&)> answered);
    void countryAnswered(const HttpResult& answer);

    HttpClient* m_client;
    QPointer<HttpReply> m_waiting;
    // The fetch's settings while it waits.
    QString m_address;
    QString m_country;
    int m_lines = 0;
};
