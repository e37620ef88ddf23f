#include "HttpClient.h"

#include "HttpResponseParser.h"
#include "PelmarkError.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

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

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_cookies(new BoundedCookieJar(this)) {}

HttpClient::~HttpClient() = default;

void HttpClient::SocketCloser::operator()(QTcpSocket* socket) const {
    socket->abort();
    delete socket;
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

void HttpClient::keepCookies(const QUrl& url, const HttpResponseParser& parser) {
    for (const QByteArray& value : parser.values("Set-Cookie"))
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

QByteArray HttpClient::get(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        // A bad address comes from the settings, not from the network.
        throw PelmarkError(
            QStringLiteral("Ungültige Adresse: %1").arg(url.toDisplayString().left(300)),
            PelmarkError::Kind::Other);

    ++m_depth;
    struct DepthReset {
        int& depth;
        ~DepthReset() { --depth; }
    } depthReset{m_depth};

    const QByteArray request = requestFor(url);
    // One limit for the whole request, a retry on a fresh connection included.
    const QDeadlineTimer deadline(m_totalLimitMs);
    // Taken out while in use: a handler that asks again during our wait gets a connection
    // of its own.
    Connection socket = takeKept(url);
    bool reused = socket != nullptr;
    for (;;) {
        if (!socket)
            socket = connectTo(url);
        HttpResponseParser parser(m_sizeLimit);
        if (exchange(url, request, *socket, reused, deadline, parser) == Outcome::Retry) {
            // The server closed a kept connection before answering: once more, afresh.
            socket.reset();
            reused = false;
            continue;
        }
        if (parser.keepAlive()) {
            m_kept = std::move(socket);
            m_keptEndpoint = endpointOf(url);
        }
        keepCookies(url, parser);
        if (parser.status() < 200 || parser.status() >= 300)
            throw PelmarkError(QStringLiteral("HTTP/1.1 %1 %2")
                                   .arg(parser.status())
                                   .arg(QString::fromLatin1(parser.reason().left(200))),
                               PelmarkError::Kind::HttpStatus, parser.status());
        return parser.body();
    }
}

HttpClient::Outcome HttpClient::exchange(const QUrl& url, const QByteArray& request,
                                         QTcpSocket& connection, bool reused,
                                         const QDeadlineTimer& deadline,
                                         HttpResponseParser& parser) {
    enum class End { None, Parsed, Closed, Stalled, OutOfTime, Failed };
    End end = End::None;
    QString socketError;
    QTcpSocket* socket = &connection;

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(m_stallLimitMs);
    QTimer total;
    total.setSingleShot(true);
    total.setInterval(int(deadline.remainingTime()));
    const auto finish = [&](End how) {
        if (end == End::None)
            end = how;
        loop.quit();
    };
    const auto send = [socket, &request] { socket->write(request); };
    connect(&stall, &QTimer::timeout, &loop, [&] { finish(End::Stalled); });
    connect(&total, &QTimer::timeout, &loop, [&] { finish(End::OutOfTime); });
    connect(socket, &QIODevice::readyRead, &loop, [&] {
        stall.start();
        const auto state = parser.feed(socket->readAll());
        if (state == HttpResponseParser::State::Done || state == HttpResponseParser::State::Failed)
            finish(End::Parsed);
    });
    connect(socket, &QAbstractSocket::disconnected, &loop, [&] {
        parser.feed(socket->readAll());
        parser.finish();
        finish(End::Closed);
    });
    connect(socket, &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError e) {
        // A close by the server is judged by what was read before it.
        if (e == QAbstractSocket::RemoteHostClosedError) {
            parser.feed(socket->readAll());
            parser.finish();
            finish(End::Closed);
            return;
        }
        socketError = socket->errorString();
        finish(End::Failed);
    });
    if (socket->state() == QAbstractSocket::ConnectedState)
        send();
    else if (auto* tls = qobject_cast<QSslSocket*>(socket))
        connect(tls, &QSslSocket::encrypted, &loop, send);
    else
        connect(socket, &QAbstractSocket::connected, &loop, send);

    stall.start();
    total.start();
    loop.exec(QEventLoop::AllEvents);
    stall.stop();
    total.stop();
    socket->disconnect(&loop);

    switch (end) {
    case End::None:
        // The wait was ended from outside: the program is quitting. Nothing to report.
        throw RequestCancelled();
    case End::Stalled:
        throw PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat %2 Sekunden lang nichts gesendet")
                .arg(hostOf(url))
                .arg(m_stallLimitMs / 1000),
            PelmarkError::Kind::TimeOut);
    case End::OutOfTime:
        throw PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat in %2 Sekunden keine vollständige Antwort "
                           "gesendet")
                .arg(hostOf(url))
                .arg(m_totalLimitMs / 1000),
            PelmarkError::Kind::TimeOut);
    case End::Failed:
        if (reused && !parser.started())
            return Outcome::Retry;
        throw connectionError(url, socketError);
    case End::Parsed:
    case End::Closed:
        break;
    }
    switch (parser.failure()) {
    case HttpResponseParser::Failure::None:
        return Outcome::Done;
    case HttpResponseParser::Failure::BodyTooLarge:
        throw tooLarge(url, m_sizeLimit);
    case HttpResponseParser::Failure::Truncated:
        if (reused && !parser.started())
            return Outcome::Retry;
        throw connectionError(url, parser.started()
                                       ? QStringLiteral("die Antwort brach vorzeitig ab")
                                       : QStringLiteral("die Verbindung wurde geschlossen"));
    case HttpResponseParser::Failure::Malformed:
    case HttpResponseParser::Failure::HeadTooLarge:
        break;
    }
    throw PelmarkError(QStringLiteral("Ungültige HTTP-Antwort von %1").arg(hostOf(url)),
                       PelmarkError::Kind::MalformedReply);
}
