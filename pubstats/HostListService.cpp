#include "HostListService.h"

#include "HostListDecoder.h"
#include "HostListQuery.h"
#include "HttpClient.h"
#include "ServiceAnswer.h"

#include <QUrl>

namespace {

const QString CouldNotRefresh = QStringLiteral("Could not refresh.");

HostListResult classify(const HttpResult& reply) {
    HostListResult result;
    if (!reply.ok()) {
        result.message = reply.error->message();
        result.error = reply.error;
        return result;
    }
    if (IsRefusalReply(reply.body)) {
        result.outcome = HostListResult::Outcome::Refused;
        result.message = CouldNotRefresh;
        return result;
    }
    if (DecodeHostList(reply.body, result.hosts) == DecodeResult::Ok) {
        result.outcome = HostListResult::Outcome::List;
        return result;
    }
    // A note of the service in words (a missing key, say) tells more than our own.
    if (const std::optional<QString> line = ServiceAnswerLine(reply.body)) {
        result.outcome = HostListResult::Outcome::ServiceText;
        result.message = ServiceAnsweredText(*line);
        return result;
    }
    result.message = CouldNotRefresh;
    return result;
}

} // namespace

HostListService::HostListService(QObject* parent)
    : QObject(parent), m_client(new HttpClient(this)) {}

bool HostListService::fetch(const QString& serviceAddress, const QString& identKey) {
    if (isWaiting())
        return false;
    const HostListQuery request = MakeHostListQuery(identKey);
    if (request.keyRejected && !m_keyReported) {
        // Said once: a hand-edited key stays wrong until the user mends it.
        m_keyReported = true;
        const QPointer<HostListService> self(this);
        Q_EMIT identKeyRejected();
        // Whoever heard it may have shown a box, and a fetch may have started meanwhile.
        if (!self || isWaiting())
            return false;
    }
    HttpReply* reply = m_client->get(
        ServiceUrl(serviceAddress, QStringLiteral("/pubstat/get_stat2.php"), request.query));
    m_waiting = reply;
    connect(reply, &HttpReply::finished, this, [this](const HttpResult& answer) {
        m_waiting = nullptr;
        const HostListResult result = classify(answer);
        if (result.hasList())
            m_hosts = result.hosts;
        Q_EMIT finished(result);
    });
    return true;
}

bool HostListService::isWaiting() const {
    return m_waiting && !m_waiting->isFinished();
}

void HostListService::cancel() {
    if (m_waiting)
        m_waiting->abort();
    m_waiting = nullptr;
}

QUrl ServiceUrl(const QString& address, const QString& path, const QString& query) {
    QUrl url(address);
    url.setPath(url.path().chopped(url.path().endsWith(QLatin1Char('/')) ? 1 : 0) + path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}
