#include "HttpClient.h"

#include "HttpResponseParser.h"
#include "PelmarkError.h"

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
        QStringLiteral("Verbindung zu %1 fehlgeschlagen: %2").arg(hostOf(url), why.left(300)));
}

PelmarkError tooLarge(const QUrl& url, qint64 limit) {
    return PelmarkError(QStringLiteral("Die Antwort von %1 ist größer als %2 MB")
                            .arg(hostOf(url))
                            .arg(limit / (1024 * 1024)));
}

} // namespace

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_cookies(new QNetworkCookieJar(this)) {}

HttpClient::~HttpClient() = default;

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

void HttpClient::connectTo(const QUrl& url) {
    if (isHttps(url)) {
        auto* socket = new QSslSocket(this);
        if (!m_extraCas.isEmpty()) {
            QSslConfiguration tls = socket->sslConfiguration();
            tls.addCaCertificates(m_extraCas);
            socket->setSslConfiguration(tls);
        }
        m_socket = socket;
        m_socket->setProxy(QNetworkProxy::NoProxy);
        socket->connectToHostEncrypted(url.host(), portOf(url));
    } else {
        m_socket = new QTcpSocket(this);
        m_socket->setProxy(QNetworkProxy::NoProxy);
        m_socket->connectToHost(url.host(), portOf(url));
    }
    m_endpoint = endpointOf(url);
    // The request goes out in one write; waiting for more to coalesce would only delay it.
    QTcpSocket* socket = m_socket;
    connect(socket, &QAbstractSocket::connected, socket,
            [socket] { socket->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}

void HttpClient::dropConnection() {
    if (!m_socket)
        return;
    m_socket->abort();
    delete m_socket;
    m_socket = nullptr;
    m_endpoint.clear();
}

QByteArray HttpClient::get(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        throw PelmarkError(
            QStringLiteral("Ungültige Adresse: %1").arg(url.toDisplayString().left(300)));

    m_busy = true;
    struct BusyReset {
        bool& flag;
        ~BusyReset() { flag = false; }
    } busyReset{m_busy};

    const QByteArray request = requestFor(url);
    // A kept connection that the server has closed, or that holds bytes nobody asked
    // for, is not worth trying.
    bool reused = m_socket && m_endpoint == endpointOf(url) &&
                  m_socket->state() == QAbstractSocket::ConnectedState &&
                  m_socket->bytesAvailable() == 0;
    if (!reused)
        dropConnection();
    for (;;) {
        if (!m_socket)
            connectTo(url);
        HttpResponseParser parser(m_sizeLimit);
        if (exchange(url, request, reused, parser) == Outcome::Retry) {
            // The server closed a kept connection before answering: once more, afresh.
            dropConnection();
            reused = false;
            continue;
        }
        if (!parser.keepAlive())
            dropConnection();
        keepCookies(url, parser);
        if (parser.status() < 200 || parser.status() >= 300)
            throw PelmarkError(QStringLiteral("HTTP/1.1 %1 %2")
                                   .arg(parser.status())
                                   .arg(QString::fromLatin1(parser.reason().left(200))));
        return parser.body();
    }
}

HttpClient::Outcome HttpClient::exchange(const QUrl& url, const QByteArray& request, bool reused,
                                         HttpResponseParser& parser) {
    enum class End { None, Parsed, Closed, Stalled, Failed };
    End end = End::None;
    QString socketError;
    QTcpSocket* socket = m_socket;

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(m_stallLimitMs);
    const auto finish = [&](End how) {
        if (end == End::None)
            end = how;
        loop.quit();
    };
    const auto send = [socket, &request] { socket->write(request); };
    connect(&stall, &QTimer::timeout, &loop, [&] { finish(End::Stalled); });
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
    loop.exec(QEventLoop::AllEvents);
    stall.stop();
    socket->disconnect(&loop);

    switch (end) {
    case End::None:
        // The wait was ended from outside: the program is quitting. Nothing to report.
        dropConnection();
        throw RequestCancelled();
    case End::Stalled:
        dropConnection();
        throw PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat %2 Sekunden lang nichts gesendet")
                .arg(hostOf(url))
                .arg(m_stallLimitMs / 1000));
    case End::Failed:
        if (reused && !parser.started())
            return Outcome::Retry;
        dropConnection();
        throw connectionError(url, socketError);
    case End::Parsed:
    case End::Closed:
        break;
    }
    switch (parser.failure()) {
    case HttpResponseParser::Failure::None:
        return Outcome::Done;
    case HttpResponseParser::Failure::BodyTooLarge:
        dropConnection();
        throw tooLarge(url, m_sizeLimit);
    case HttpResponseParser::Failure::Truncated:
        if (reused && !parser.started())
            return Outcome::Retry;
        dropConnection();
        throw connectionError(url, parser.started()
                                       ? QStringLiteral("die Antwort brach vorzeitig ab")
                                       : QStringLiteral("die Verbindung wurde geschlossen"));
    case HttpResponseParser::Failure::Malformed:
    case HttpResponseParser::Failure::HeadTooLarge:
        break;
    }
    dropConnection();
    throw PelmarkError(QStringLiteral("Ungültige HTTP-Antwort von %1").arg(hostOf(url)));
}
