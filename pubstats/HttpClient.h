#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QUrl>

class HttpResponseParser;
class QNetworkCookieJar;
class QTcpSocket;

// The program's HTTP client: HTTP/1.1 GET with the service's customary headers and no
// others, cookies kept and sent back, no proxy, the connection kept for the next request.
// get() waits in a nested event loop, so the window paints and timers tick meanwhile. A
// transfer that receives nothing for the stall limit, or grows beyond the size limit, is
// abandoned like a network error.
class HttpClient : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultStallLimitMs = 60'000;
    static constexpr qint64 DefaultSizeLimit = 16 * 1024 * 1024;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The reply body; throws PelmarkError on any transport failure or error status.
    QByteArray get(const QUrl& url);

    bool isBusy() const { return m_busy; }
    void setStallLimit(int ms) { m_stallLimitMs = ms; }
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }
    // Certificates trusted for https besides the system's (a loopback service's own).
    void addCaCertificates(const QList<QSslCertificate>& certificates) {
        m_extraCas += certificates;
    }

private:
    enum class Outcome { Done, Retry };

    Outcome exchange(const QUrl& url, const QByteArray& request, bool reused,
                     HttpResponseParser& parser);
    void connectTo(const QUrl& url);
    void dropConnection();
    QByteArray requestFor(const QUrl& url) const;
    void keepCookies(const QUrl& url, const HttpResponseParser& parser);

    QNetworkCookieJar* m_cookies;
    QTcpSocket* m_socket = nullptr; // the kept connection, to m_endpoint
    QString m_endpoint;
    QList<QSslCertificate> m_extraCas;
    int m_stallLimitMs = DefaultStallLimitMs;
    qint64 m_sizeLimit = DefaultSizeLimit;
    bool m_busy = false;
};
