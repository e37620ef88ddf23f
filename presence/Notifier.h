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
