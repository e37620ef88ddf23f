#include "Notifier.h"

#include "OnlineMates.h"
#include "SingleByteText.h"

void Notifier::setService(Service service) {
    if (service == m_service)
        return;
    m_service = service;
    Q_EMIT serviceChanged(service);
}

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
