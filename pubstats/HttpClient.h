#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;

// The program's HTTP client: HTTP/1.1 GET with the service's customary headers,
// cookies kept and sent back, no proxy. get() waits in a nested event loop, so the
// window paints and timers tick meanwhile. A transfer that receives nothing for the
// stall limit, or grows beyond the size limit, is abandoned like a network error.
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

private:
    QNetworkAccessManager* m_manager;
    int m_stallLimitMs = DefaultStallLimitMs;
    qint64 m_sizeLimit = DefaultSizeLimit;
    bool m_busy = false;
};
