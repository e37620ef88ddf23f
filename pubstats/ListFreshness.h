#pragma once

#include <QString>
#include <QTime>

// How fresh the host list on show is: when a refresh last brought one, or since when the
// refreshes fail and why. A run of failures keeps the time of its first, so that the user
// sees how old the rows are, not when the program last tried.
class ListFreshness {
public:
    static constexpr qsizetype MaxReasonChars = 120; // a line, not a report

    void updated(const QTime& now);
    void failed(const QString& reason, const QTime& now);

    bool isOffline() const { return m_offlineSince.isValid(); }
    // Invalid before the first list came.
    QTime updatedAt() const { return m_updated; }
    // Invalid while the last refresh brought a list.
    QTime offlineSince() const { return m_offlineSince; }
    // The last failure's reason, on one line and bounded.
    const QString& reason() const { return m_reason; }
    // "Updated 18:42", "Offline since 18:43: REASON", or empty before the first answer.
    QString text() const;

private:
    QTime m_updated;
    QTime m_offlineSince;
    QString m_reason;
};
