#include "HttpClient.h"

#include "PelmarkError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

HttpClient::HttpClient(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)) {
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager));
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

HttpClient::~HttpClient() = default;

namespace {

enum class Abort { None, Stalled, TooLarge };

QString hostOf(const QUrl& url) {
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

} // namespace

QByteArray HttpClient::get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Content-Type", "text/html");
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");

    m_busy = true;
    struct BusyReset {
        bool& flag;
        ~BusyReset() { flag = false; }
    } busyReset{m_busy};

    // The reply is ours to delete: a deleteLater from inside a nested loop would only
    // run once the outer loop gets control back.
    std::unique_ptr<QNetworkReply> reply(m_manager->get(request));
    QByteArray body;
    Abort abort = Abort::None;

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(m_stallLimitMs);
    connect(&stall, &QTimer::timeout, &loop, [&] {
        abort = Abort::Stalled;
        reply->abort();
    });
    connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        stall.start();
        if (body.size() + reply->bytesAvailable() > m_sizeLimit) {
            abort = Abort::TooLarge;
            reply->abort();
            return;
        }
        body += reply->readAll();
    });
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start();
    if (!reply->isFinished())
        loop.exec(QEventLoop::AllEvents);
    stall.stop();
    reply->disconnect(&loop);
    if (abort == Abort::None && !reply->isFinished()) {
        // The wait was ended from outside: the program is quitting. Nothing to report.
        reply->abort();
        throw RequestCancelled();
    }

    switch (abort) {
    case Abort::Stalled:
        throw PelmarkError(
            QStringLiteral("Zeitüberschreitung: %1 hat %2 Sekunden lang nichts gesendet")
                .arg(hostOf(url))
                .arg(m_stallLimitMs / 1000));
    case Abort::TooLarge:
        throw PelmarkError(QStringLiteral("Die Antwort von %1 ist größer als %2 MB")
                               .arg(hostOf(url))
                               .arg(m_sizeLimit / (1024 * 1024)));
    case Abort::None:
        break;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
        if (status > 0) {
            const QString reason = QString::fromLatin1(
                reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
            throw PelmarkError(QStringLiteral("HTTP/1.1 %1 %2").arg(status).arg(reason.left(200)));
        }
        throw PelmarkError(QStringLiteral("Verbindung zu %1 fehlgeschlagen: %2")
                               .arg(hostOf(url), reply->errorString().left(300)));
    }
    if (body.size() + reply->bytesAvailable() > m_sizeLimit)
        throw PelmarkError(QStringLiteral("Die Antwort von %1 ist größer als %2 MB")
                               .arg(hostOf(url))
                               .arg(m_sizeLimit / (1024 * 1024)));
    body += reply->readAll();
    return body;
}
