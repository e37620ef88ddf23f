#pragma once

#include "HttpClient.h"
#include "PelmarkError.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

// Waits for a reply's answer in a loop of its own, as only tests and benchmarks may. A
// reply that says nothing within the time, or is gone, comes back as a failure.
inline HttpResult WaitForReply(HttpReply* reply, int timeoutMs = 60'000) {
    HttpResult result;
    result.error = PelmarkError(QStringLiteral("no answer within %1 ms").arg(timeoutMs));
    QEventLoop loop;
    QObject::connect(reply, &HttpReply::finished, &loop, [&](const HttpResult& answer) {
        result = answer;
        loop.quit();
    });
    QObject::connect(reply, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    const QPointer<HttpReply> waited(reply);
    loop.exec();
    if (waited && !waited->isFinished())
        waited->abort();
    return result;
}

// The body, or the failure thrown: one request at a time, as a test asks it.
inline QByteArray GetNow(HttpClient& client, const QUrl& url) {
    const HttpResult result = WaitForReply(client.get(url));
    if (result.error)
        throw *result.error;
    return result.body;
}
