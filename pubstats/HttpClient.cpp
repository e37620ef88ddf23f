#include "HttpClient.h"

#include "HttpResponseParser.h"
#include "PelmarkError.h"

#include <QDeadlineTimer>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace {

QString hostOf(const QUrl& url) {
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

bool isHttps(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

quint16 portOf(const QUrl& url) {
    return quint16(url.port(isHttps(url) ? 443 : 80));
}

QString endpointOf(const QUrl& url) {
    return url.scheme().toLower() + QLatin1String("://") + url.host() + QLatin1Char(':') +
           QString::number(portOf(url));
}

PelmarkError connectionError(const QUrl& url, const QString& why) {
    return PelmarkError(
        QStringLiteral("Verbindung zu %1 fehlgeschlagen: %2").arg(hostOf(url), why.left(300)),
        PelmarkError::Kind::Connection);
}

// As browsers bound them: a service that sets a new cookie at every reply must not grow
// every later request without end.
constexpr int MaxCookies = 50;
constexpr qsizetype MaxCookieSize = 4096; // name and value
// All kept cookies together, so that no request carries a Cookie header larger than this.
constexpr qsizetype MaxCookieBytes = 8192;

qsizetype cookieBytes(const QNetworkCookie& cookie) {
    return cookie.name().size() + cookie.value().size() + 3; // "=" and "; "
}

class BoundedCookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override {
        QList<QNetworkCookie> bounded;
        for (const QNetworkCookie& cookie : cookies)
            if (cookie.name().size() + cookie.value().size() <= MaxCookieSize)
                bounded << cookie;
        const bool added = QNetworkCookieJar::setCookiesFromUrl(bounded, url);
        // The jar appends every cookie it sets, a replaced one too: the oldest come first.
        const QList<QNetworkCookie> all = allCookies();
        // The newest, as many as fit both bounds.
        qsizetype keep = 0;
        qsizetype bytes = 0;
        while (keep < all.size() && keep < MaxCookies) {
            bytes += cookieBytes(all.at(all.size() - 1 - keep));
            if (bytes > MaxCookieBytes)
                break;
            ++keep;
        }
        if (keep < all.size())
            setAllCookies(all.mid(all.size() - keep));
        return added;
    }
};

PelmarkError tooLarge(const QUrl& url, qint64 limit) {
    return PelmarkError(QStringLiteral("Die Antwort von %1 ist größer als %2 MB")
                            .arg(hostOf(url))
                            .arg(limit / (1024 * 1024)),
                        PelmarkError::Kind::MalformedReply);
}

} // namespace

// One request from the first byte sent to its result: the connection, the parser, the
// limits, and the one retry on a fresh connection. Owned by its reply; dropping it
// closes the connection and reports nothing.
class HttpExchange : public QObject {
public:
    HttpExchange(HttpClient& client, HttpReply& reply, const QUrl& url);
    ~HttpExchange() override;

    void start();

private:
    enum class End { None, Parsed, Closed, Stalled, OutOfTime, Failed };

    void attempt();
    void send();
    void serverClosed();
    void end(End how);
    void conclude();
    void retry();
    void succeed();
    void fail(PelmarkError error);
    void report(HttpResult result);

    HttpClient& m_client;
    HttpReply& m_reply;
    const QUrl m_url;
    // The limits as they were when the request started.
    const int m_stallLimitMs;
    const int m_totalLimitMs;
    const qint64 m_sizeLimit;
    QByteArray m_request;
    HttpClient::Connection m_socket;
    bool m_reused = false;
    std::optional<HttpResponseParser> m_parser;
    // One limit for the whole request, a retry on a fresh connection included.
    QDeadlineTimer m_deadline;
    QTimer m_stall;
    QTimer m_total;
    End m_end = End::None;
    QString m_socketError;
};

HttpExchange::HttpExchange(HttpClient& client, HttpReply& reply, const QUrl& url)
    : m_client(client), m_reply(reply), m_url(url), m_stallLimitMs(client.m_stallLimitMs),
      m_totalLimitMs(client.m_totalLimitMs), m_sizeLimit(client.m_sizeLimit) {
    m_stall.setSingleShot(true);
    m_total.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, [this] { end(End::Stalled); });
    connect(&m_total, &QTimer::timeout, this, [this] { end(End::OutOfTime); });
}

HttpExchange::~HttpExchange() {
    // Closing the socket may emit its signals; none may reach a half-destroyed exchange.
    if (m_socket)
        m_socket->disconnect(this);
    m_socket.reset();
}

void HttpExchange::start() {
    const QString scheme = m_url.scheme().toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        m_url.host().isEmpty()) {
        // A bad address comes from the settings, not from the network.
        fail(PelmarkError(
            QStringLiteral("Ungültige Adresse: %1").arg(m_url.toDisplayString().left(300)),
            PelmarkError::Kind::Other));
        return;
    }
    m_request = m_client.requestFor(m_url);
    m_deadline = QDeadlineTimer(m_totalLimitMs);
    // Taken out while in use: a request started meanwhile gets a connection of its own.
    m_socket = m_client.takeKept(m_url);
    m_reused = m_socket != nullptr;
    attempt();
}

void HttpExchange::attempt() {
    if (!m_socket)
        m_socket = m_client.connectTo(m_url);
    m_parser.emplace(m_sizeLimit);
    m_end = End::None;
    QTcpSocket* socket = m_socket.get();
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        m_stall.start();
        const auto state = m_parser->feed(socket->readAll());
        if (state == HttpResponseParser::State::Done || state == HttpResponseParser::State::Failed)
            end(End::Parsed);
    });
    connect(socket, &QAbstractSocket::disconnected, this, &HttpExchange::serverClosed);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError e) {
                // A close by the server is judged by what was read before it.
                if (e == QAbstractSocket::RemoteHostClosedError) {
                    serverClosed();
                    return;
                }
                m_socketError = socket->errorString();
                end(End::Failed);
            });
    if (socket->state() == QAbstractSocket::ConnectedState)
        send();
    else if (auto* tls = qobject_cast<QSslSocket*>(socket))
        connect(tls, &QSslSocket::encrypted, this, &HttpExchange::send);
    else
        connect(socket, &QAbstractSocket::connected, this, &HttpExchange::send);
    m_stall.start(m_stallLimitMs);
    m_total.start(int(std::max<qint64>(0, m_deadline.remainingTime())));
}

void HttpExchange::send() {
    m_socket->write(m_request);
}

void HttpExchange::serverClosed() {
    m_parser->feed(m_socket->readAll());
    m_parser->finish();
    end(End::Closed);
}

void HttpExchange::end(End how) {
    if (m_end != End::None)
        return;
    m_end = how;
    m_stall.stop();
    m_total.stop();
    m_socket->disconnect(this);
    // Judged from the event loop: the socket may be closed then, but not inside its own
    // signal.
    QMetaObject::invokeMethod(this, &HttpExchange::conclude, Qt::QueuedConnection);
}

void HttpExchange::conclude() {
    switch (m_end) {
    case End::None:
        return;
    case End::Stalled:
        fail(PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat %2 Sekunden lang nichts gesendet")
                .arg(hostOf(m_url))
                .arg(m_stallLimitMs / 1000),
            PelmarkError::Kind::TimeOut));
        return;
    case End::OutOfTime:
        fail(PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat in %2 Sekunden keine vollständige Antwort "
                           "gesendet")
                .arg(hostOf(m_url))
                .arg(m_totalLimitMs / 1000),
            PelmarkError::Kind::TimeOut));
        return;
    case End::Failed:
        if (m_reused && !m_parser->started())
            retry();
        else
            fail(connectionError(m_url, m_socketError));
        return;
    case End::Parsed:
    case End::Closed:
        break;
    }
    switch (m_parser->failure()) {
    case HttpResponseParser::Failure::None:
        succeed();
        return;
    case HttpResponseParser::Failure::BodyTooLarge:
        fail(tooLarge(m_url, m_sizeLimit));
        return;
    case HttpResponseParser::Failure::Truncated:
        if (m_reused && !m_parser->started())
            retry();
        else
            fail(connectionError(m_url, m_parser->started()
                                            ? QStringLiteral("die Antwort brach vorzeitig ab")
                                            : QStringLiteral("die Verbindung wurde geschlossen")));
        return;
    case HttpResponseParser::Failure::Malformed:
    case HttpResponseParser::Failure::HeadTooLarge:
        break;
    }
    fail(PelmarkError(QStringLiteral("Ungültige HTTP-Antwort von %1").arg(hostOf(m_url)),
                      PelmarkError::Kind::MalformedReply));
}

void HttpExchange::retry() {
    // The server closed a kept connection before answering: once more, afresh.
    m_socket.reset();
    m_reused = false;
    attempt();
}

void HttpExchange::succeed() {
    if (m_parser->keepAlive())
        m_client.keep(std::move(m_socket), m_url);
    else
        m_socket.reset();
    m_client.keepCookies(m_url, m_parser->values("Set-Cookie"));
    HttpResult result;
    const int status = m_parser->status();
    if (status < 200 || status >= 300)
        result.error = PelmarkError(QStringLiteral("HTTP/1.1 %1 %2")
                                        .arg(status)
                                        .arg(QString::fromLatin1(m_parser->reason().left(200))),
                                    PelmarkError::Kind::HttpStatus, status);
    else
        result.body = m_parser->body();
    m_parser.reset();
    report(std::move(result));
}

void HttpExchange::fail(PelmarkError error) {
    m_socket.reset();
    m_parser.reset();
    HttpResult result;
    result.error = std::move(error);
    report(std::move(result));
}

void HttpExchange::report(HttpResult result) {
    // Last: whoever hears the answer may drop the reply, and this exchange with it.
    HttpClient::finishReply(m_reply, std::move(result));
}

// ---- HttpReply ------------------------------------------------------------------------

HttpReply::HttpReply(QObject* parent) : QObject(parent) {}

HttpReply::~HttpReply() = default;

void HttpReply::abort() {
    if (m_finished || !m_exchange)
        return;
    m_exchange.reset();
    // Nobody hears from it again; it goes like a finished one.
    deleteLater();
}

void HttpReply::finish(HttpResult result) {
    m_result = std::move(result);
    m_finished = true;
    deleteLater();
    Q_EMIT finished(m_result);
}

// ---- HttpClient -----------------------------------------------------------------------

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_cookies(new BoundedCookieJar(this)) {}

HttpClient::~HttpClient() {
    // Before the kept connection and the jar go: a running reply answers nothing now.
    for (HttpReply* reply : findChildren<HttpReply*>(Qt::FindDirectChildrenOnly))
        reply->abort();
}

void HttpClient::SocketCloser::operator()(QTcpSocket* socket) const {
    socket->abort();
    delete socket;
}

void HttpClient::finishReply(HttpReply& reply, HttpResult result) {
    reply.finish(std::move(result));
}

HttpReply* HttpClient::get(const QUrl& url) {
    auto* reply = new HttpReply(this);
    reply->m_exchange = std::make_unique<HttpExchange>(*this, *reply, url);
    // Started from the event loop, so that even a bad address answers after get() returned.
    QMetaObject::invokeMethod(reply->m_exchange.get(), &HttpExchange::start, Qt::QueuedConnection);
    return reply;
}

bool HttpClient::isBusy() const {
    const QList<HttpReply*> replies = findChildren<HttpReply*>(Qt::FindDirectChildrenOnly);
    return std::any_of(replies.begin(), replies.end(), [](const HttpReply* reply) {
        return reply->m_exchange && !reply->m_finished;
    });
}

QByteArray HttpClient::requestFor(const QUrl& url) const {
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() > 0 && url.port() != (isHttps(url) ? 443 : 80))
        host += ':' + QByteArray::number(url.port());

    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + host +
                         "\r\nContent-Type: text/html\r\nAccept: text/html, */*\r\n"
                         "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                         "Connection: keep-alive\r\n";
    const QList<QNetworkCookie> cookies = m_cookies->cookiesForUrl(url);
    if (!cookies.isEmpty()) {
        QByteArray cookie;
        for (const QNetworkCookie& c : cookies)
            cookie +=
                (cookie.isEmpty() ? "" : "; ") + c.toRawForm(QNetworkCookie::NameAndValueOnly);
        // A value that could end the header line early is not sent back.
        if (!cookie.contains('\r') && !cookie.contains('\n'))
            request += "Cookie: " + cookie + "\r\n";
    }
    return request + "\r\n";
}

void HttpClient::keep(Connection connection, const QUrl& url) {
    m_kept = std::move(connection);
    m_keptEndpoint = endpointOf(url);
}

void HttpClient::keepCookies(const QUrl& url, const QList<QByteArray>& setCookies) {
    for (const QByteArray& value : setCookies)
        m_cookies->setCookiesFromUrl(QNetworkCookie::parseCookies(value), url);
}

HttpClient::Connection HttpClient::connectTo(const QUrl& url) const {
    Connection socket;
    if (isHttps(url)) {
        auto* tls = new QSslSocket;
        socket.reset(tls);
        if (!m_extraCas.isEmpty()) {
            QSslConfiguration config = tls->sslConfiguration();
            config.addCaCertificates(m_extraCas);
            tls->setSslConfiguration(config);
        }
        tls->setProxy(QNetworkProxy::NoProxy);
        tls->connectToHostEncrypted(url.host(), portOf(url));
    } else {
        socket.reset(new QTcpSocket);
        socket->setProxy(QNetworkProxy::NoProxy);
        socket->connectToHost(url.host(), portOf(url));
    }
    // The request goes out in one write; waiting for more to coalesce would only delay it.
    QTcpSocket* raw = socket.get();
    connect(raw, &QAbstractSocket::connected, raw,
            [raw] { raw->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    return socket;
}

HttpClient::Connection HttpClient::takeKept(const QUrl& url) {
    Connection kept = std::move(m_kept);
    // One that the server has closed, or that holds bytes nobody asked for, is not worth
    // trying.
    if (kept && (m_keptEndpoint != endpointOf(url) ||
                 kept->state() != QAbstractSocket::ConnectedState || kept->bytesAvailable() > 0))
        kept.reset();
    return kept;
}
