#pragma once

#include "PelmarkError.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QUrl>
#include <memory>
#include <optional>

class HttpExchange;
class QNetworkCookieJar;
class QTcpSocket;

// What a request brought: the body of a 2xx answer, or the failure with its kind, the
// HTTP status (Kind::HttpStatus) and the text for the user.
struct HttpResult {
    QByteArray body;
    std::optional<PelmarkError> error;
    bool ok() const { return !error; }
};

// One request under way. It says finished() once, from the event loop (never from
// inside HttpClient::get), and is deleted soon after. abort() ends it without a signal.
class HttpReply : public QObject {
    Q_OBJECT
public:
    ~HttpReply() override;
    bool isFinished() const { return m_finished; }
    const HttpResult& result() const { return m_result; }
    void abort();

Q_SIGNALS:
    void finished(const HttpResult& result);

private:
    friend class HttpClient;
    explicit HttpReply(QObject* parent);
    void finish(HttpResult result);

    HttpResult m_result;
    bool m_finished = false;
    std::unique_ptr<HttpExchange> m_exchange;
};

// The program's HTTP client: HTTP/1.1 GET with the service's customary headers and no
// others, cookies kept (the newest 50, none over 4 KiB) and sent back, no proxy, the
// connection kept for the next request.
// get() returns at once; the reply answers through its signal. A transfer that receives
// nothing for the stall limit, has no complete answer within the total limit, or grows
// beyond the size limit, fails like a network error. Replies still running when the
// client goes are aborted.
class HttpClient : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultStallLimitMs = 60'000;
    // A server that trickles a byte now and then never stalls; this ends it all the same.
    static constexpr int DefaultTotalLimitMs = 120'000;
    static constexpr qint64 DefaultSizeLimit = 16 * 1024 * 1024;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // Owned by the client. A bad address (no http/https, no host) fails as Kind::Other,
    // through the signal like every other failure.
    HttpReply* get(const QUrl& url);

    // Requests under way.
    bool isBusy() const;
    void setStallLimit(int ms) { m_stallLimitMs = ms; }
    void setTotalLimit(int ms) { m_totalLimitMs = ms; }
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }
    // Certificates trusted for https besides the system's (a loopback service's own).
    void addCaCertificates(const QList<QSslCertificate>& certificates) {
        m_extraCas += certificates;
    }

private:
    // The exchange drives one request and takes what it needs from here.
    friend class HttpExchange;
    struct SocketCloser {
        void operator()(QTcpSocket* socket) const;
    };
    using Connection = std::unique_ptr<QTcpSocket, SocketCloser>;

    static void finishReply(HttpReply& reply, HttpResult result);
    Connection connectTo(const QUrl& url) const;
    Connection takeKept(const QUrl& url);
    void keep(Connection connection, const QUrl& url);
    QByteArray requestFor(const QUrl& url) const;
    void keepCookies(const QUrl& url, const QList<QByteArray>& setCookies);

    QNetworkCookieJar* m_cookies;
    Connection m_kept; // the connection kept for the next request, to m_keptEndpoint
    QString m_keptEndpoint;
    QList<QSslCertificate> m_extraCas;
    int m_stallLimitMs = DefaultStallLimitMs;
    int m_totalLimitMs = DefaultTotalLimitMs;
    qint64 m_sizeLimit = DefaultSizeLimit;
};
