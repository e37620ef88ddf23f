#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QUrl>
#include <memory>

class HttpResponseParser;
class QDeadlineTimer;
class QNetworkCookieJar;
class QTcpSocket;

// The program's HTTP client: HTTP/1.1 GET with the service's customary headers and no
// others, cookies kept (the newest 50, none over 4 KiB) and sent back, no proxy, the
// connection kept for the next request.
// get() waits in a nested event loop, so the window paints and timers tick meanwhile. A
// transfer that receives nothing for the stall limit, has no complete answer within the
// total limit, or grows beyond the size limit, is abandoned like a network error.
class HttpClient : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultStallLimitMs = 60'000;
    // A server that trickles a byte now and then never stalls; this ends it all the same.
    static constexpr int DefaultTotalLimitMs = 120'000;
    static constexpr qint64 DefaultSizeLimit = 16 * 1024 * 1024;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The reply body; throws PelmarkError on any transport failure or error status.
    QByteArray get(const QUrl& url);

    bool isBusy() const { return m_depth > 0; }
    void setStallLimit(int ms) { m_stallLimitMs = ms; }
    void setTotalLimit(int ms) { m_totalLimitMs = ms; }
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }
    // Certificates trusted for https besides the system's (a loopback service's own).
    void addCaCertificates(const QList<QSslCertificate>& certificates) {
        m_extraCas += certificates;
    }

private:
    enum class Outcome { Done, Retry };
    struct SocketCloser {
        void operator()(QTcpSocket* socket) const;
    };
    using Connection = std::unique_ptr<QTcpSocket, SocketCloser>;

    Outcome exchange(const QUrl& url, const QByteArray& request, QTcpSocket& socket, bool reused,
                     const QDeadlineTimer& deadline, HttpResponseParser& parser);
    Connection connectTo(const QUrl& url) const;
    Connection takeKept(const QUrl& url);
    QByteArray requestFor(const QUrl& url) const;
    void keepCookies(const QUrl& url, const HttpResponseParser& parser);

    QNetworkCookieJar* m_cookies;
    Connection m_kept; // the connection kept for the next request, to m_keptEndpoint
    QString m_keptEndpoint;
    QList<QSslCertificate> m_extraCas;
    int m_stallLimitMs = DefaultStallLimitMs;
    int m_totalLimitMs = DefaultTotalLimitMs;
    qint64 m_sizeLimit = DefaultSizeLimit;
    int m_depth = 0; // gets waiting, a handler's inside another's wait included
};
