#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

struct OnlineMate;

// The desktop's notification service. Nothing here waits: a service that is missing
// or slow only means that no notification appears.
class Notifier : public QObject {
    Q_OBJECT
public:
    enum class Service { Unknown, Found, Missing };

    using QObject::QObject;
    ~Notifier() override = default;

    Service service() const { return m_service; }
    // Asks whether a service is there; the answer comes through serviceChanged.
    virtual void probe() = 0;
    // One notification; `key` comes back through activated when the user picks its
    // default action, and through joinRequested when he picks "Join" (offered only with
    // offerJoin, for a notification that names one host). Lines are plain text.
    virtual void notify(const QString& title, const QStringList& lines, const QString& key,
                        bool offerJoin = false) = 0;

Q_SIGNALS:
    void serviceChanged(Notifier::Service service);
    void activated(const QString& key);
    void joinRequested(const QString& key);

protected:
    void setService(Service service);

private:
    Service m_service = Service::Unknown;
};

// The notification of one refresh: a line per mate, "Display name on Host (Track)", at
// most `maxLines` of them and then a line saying how many more came.
QStringList ArrivalLines(const QList<OnlineMate>& arrived, qsizetype maxLines = 8);
inline QString ArrivalTitle() {
    return QStringLiteral("Mates online");
}

// "NAME moved to HOST (TRACK)": a mate online who changed host.
QString MoveLine(const OnlineMate& mate);
// The notifications of one refresh's moves, one per host the mates went to, so that each
// can offer to join it. Mates who went to more hosts than maxNotices share the last one,
// which names no single host (`host` empty, no "Join"; `showKey` the first of them).
struct MoveNotice {
    QString title;
    QStringList lines;
    QByteArray host;
    QByteArray showKey;
};
QList<MoveNotice> MoveNotices(const QList<OnlineMate>& moved, qsizetype maxNotices = 3,
                              qsizetype maxLines = 8);
