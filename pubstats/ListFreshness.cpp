#include "ListFreshness.h"

#include <QLocale>

namespace {

QString clock(const QTime& time) {
    return QLocale::c().toString(time, QStringLiteral("HH:mm"));
}

} // namespace

void ListFreshness::updated(const QTime& now) {
    m_updated = now;
    m_offlineSince = QTime();
    m_reason.clear();
}

void ListFreshness::failed(const QString& reason, const QTime& now) {
    if (!isOffline())
        m_offlineSince = now;
    // A reply may quote the service with its line breaks; the line stays one line.
    m_reason = reason.left(4 * MaxReasonChars).simplified().left(MaxReasonChars);
}

QString ListFreshness::text() const {
    if (isOffline() && m_reason.isEmpty())
        return QStringLiteral("Offline since %1").arg(clock(m_offlineSince));
    if (isOffline())
        return QStringLiteral("Offline since %1: %2").arg(clock(m_offlineSince), m_reason);
    if (m_updated.isValid())
        return QStringLiteral("Updated %1").arg(clock(m_updated));
    return {};
}
