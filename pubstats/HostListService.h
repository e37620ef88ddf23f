#pragma once

#include "HostRecord.h"
#include "PelmarkError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class HttpClient;
class HttpReply;

// What one request for the host list came to.
struct HostListResult {
    enum class Outcome {
        List,        // a decoded host list (possibly empty)
        Refused,     // the service's refusal reply
        ServiceText, // the service answered in words instead of a list (a missing key, say)
        Failed,      // the transfer failed, or the reply is neither list nor text
    };
    Outcome outcome = Outcome::Failed;
    HostList hosts; // Outcome::List
    // The text for the user: ServiceAnsweredText(line) for ServiceText, "Could not
    // refresh." for Refused and for an undecodable reply, the transfer's message else.
    QString message;
    // Outcome::Failed by a transfer failure: its kind, status and message.
    std::optional<PelmarkError> error;
    bool hasList() const { return outcome == Outcome::List; }
};

// Asks the statistics service for the host list: "/pubstat/get_stat2.php" under the
// service address with "action=hosts", and "&idk=KEY" when the key is valid.
class HostListService : public QObject {
    Q_OBJECT
public:
    explicit HostListService(QObject* parent = nullptr);

    HttpClient& client() { return *m_client; }
    // Sends the request and returns true; returns false and sends nothing while the
    // previous one still waits. A key that is set but not valid is not sent; the first
    // time in a run, identKeyRejected() says so before the request goes out.
    bool fetch(const QString& serviceAddress, const QString& identKey);
    bool isWaiting() const;
    // The host list of the last answer that decoded one, replaced wholesale by the next
    // before finished() says so; empty before the first.
    const HostList& hosts() const { return m_hosts; }
    // Drops the waiting request, if any: its answer is never reported.
    void cancel();

Q_SIGNALS:
    void identKeyRejected();
    void finished(const HostListResult& result);

private:
    HttpClient* m_client;
    QPointer<HttpReply> m_waiting;
    HostList m_hosts;
    bool m_keyReported = false;
};

// "/pubstat/get_stat2.php" (or any path) under a service address that may end in '/'.
QUrl ServiceUrl(const QString& address, const QString& path, const QString& query = {});
