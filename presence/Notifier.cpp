#include "Notifier.h"

#include "OnlineMates.h"
#include "SingleByteText.h"

#include <QHash>

void Notifier::setService(Service service) {
    if (service == m_service)
        return;
    m_service = service;
    Q_EMIT serviceChanged(service);
}

namespace {

// At most maxLines of the texts, and then a line saying how many more there were.
QStringList boundedLines(const QStringList& texts, qsizetype maxLines) {
    if (texts.size() <= maxLines)
        return texts;
    return texts.first(maxLines) << QStringLiteral("and %1 more").arg(texts.size() - maxLines);
}

} // namespace

QStringList ArrivalLines(const QList<OnlineMate>& arrived, qsizetype maxLines) {
    QStringList lines;
    for (const OnlineMate& mate : arrived) {
        if (lines.size() == maxLines && arrived.size() > maxLines) {
            lines << QStringLiteral("and %1 more").arg(arrived.size() - maxLines);
            break;
        }
        lines << QStringLiteral("%1 on %2 (%3)")
                     .arg(ToDisplay(mate.displayName), ToDisplay(mate.host), ToDisplay(mate.track));
    }
    return lines;
}

QString MoveLine(const OnlineMate& mate) {
    return QStringLiteral("%1 moved to %2 (%3)")
        .arg(ToDisplay(mate.displayName), ToDisplay(mate.host), ToDisplay(mate.track));
}

QList<MoveNotice> MoveNotices(const QList<OnlineMate>& moved, qsizetype maxNotices,
                              qsizetype maxLines) {
    QList<QByteArray> hosts; // in the order of the mates
    QHash<QByteArray, QStringList> lines;
    for (const OnlineMate& mate : moved) {
        if (!lines.contains(mate.host))
            hosts.append(mate.host);
        lines[mate.host].append(MoveLine(mate));
    }
    QList<MoveNotice> notices;
    const auto title = [](qsizetype mates) {
        return mates == 1 ? QStringLiteral("Mate changed host")
                          : QStringLiteral("Mates changed host");
    };
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        const QByteArray& host = hosts.at(i);
        if (notices.size() == maxNotices - 1 && hosts.size() > maxNotices) {
            QStringList rest;
            for (qsizetype j = i; j < hosts.size(); ++j)
                rest += lines.value(hosts.at(j));
            notices.append({title(rest.size()), boundedLines(rest, maxLines), {}, host});
            break;
        }
        const QStringList& here = lines.value(host);
        notices.append({title(here.size()), boundedLines(here, maxLines), host, host});
    }
    return notices;
}
