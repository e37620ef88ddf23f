#include "DBusNotifier.h"

#include "SingleByteText.h"

#include <QDBusAbstractInterface>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace {
const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
// A service that has not answered by then is as good as missing.
constexpr int CallTimeoutMs = 3000;
constexpr auto DefaultAction = "default";
constexpr auto JoinAction = "join";
} // namespace

// The service's signals arrive through these two, connected by member pointer.
class NotificationsProxy : public QDBusAbstractInterface {
    Q_OBJECT
public:
    explicit NotificationsProxy(const QDBusConnection& bus)
        : QDBusAbstractInterface(ServiceName, ObjectPath, ServiceName.toLatin1().constData(), bus,
                                 nullptr) {
        setTimeout(CallTimeoutMs);
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

DBusNotifier::DBusNotifier(QObject* parent) : Notifier(parent) {}

DBusNotifier::~DBusNotifier() = default;

bool DBusNotifier::connectService() {
    if (m_proxy)
        return true;
    if (m_noBus)
        return false;
    // Made on first use: the connection and the look-up of the service's owner wait for
    // the bus, and the window must not wait with them while it starts.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_noBus = true;
        setService(Service::Missing);
        return false;
    }
    m_proxy = std::make_unique<NotificationsProxy>(bus);
    connect(m_proxy.get(), &NotificationsProxy::ActionInvoked, this, &DBusNotifier::actionInvoked);
    connect(m_proxy.get(), &NotificationsProxy::NotificationClosed, this,
            [this](uint id, uint) { closed(id); });
    return true;
}

void DBusNotifier::probe() {
    // Asked at the next turn of the event loop, so that a probe made while the program
    // starts runs once its window is up.
    QTimer::singleShot(0, this, &DBusNotifier::askCapabilities);
}

void DBusNotifier::askCapabilities() {
    if (!connectService())
        return;
    auto* watcher =
        new QDBusPendingCallWatcher(m_proxy->asyncCall(QStringLiteral("GetCapabilities")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QStringList> reply = *call;
                if (reply.isError()) {
                    setService(Service::Missing);
                    return;
                }
                m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                setService(Service::Found);
            });
}

void DBusNotifier::notify(const QString& title, const QStringList& lines, const QString& key,
                          bool offerJoin) {
    if (!connectService())
        return;
    // Group names come from file names; no name may reorder the lines it stands in.
    QString body = WithoutFormatCharacters(lines.join(QLatin1Char('\n')));
    // Host names are data from the network: where the service reads markup, every
    // character that could start some is escaped.
    if (m_bodyMarkup)
        body = body.toHtmlEscaped();
    QStringList actions{QString::fromLatin1(DefaultAction), QStringLiteral("Show")};
    if (offerJoin)
        actions << QString::fromLatin1(JoinAction) << QStringLiteral("Join");
    // The installed icon and desktop entry share one id.
    const QString id = QStringLiteral("org.pelmark.Pelmark2");
    const QVariantMap hints{{QStringLiteral("category"), QStringLiteral("presence.online")},
                            {QStringLiteral("desktop-entry"), id}};
    auto* watcher = new QDBusPendingCallWatcher(
        m_proxy->asyncCall(QStringLiteral("Notify"), QStringLiteral("Pelmark II"), 0u, id,
                           WithoutFormatCharacters(title), body, actions, hints, -1),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                if (reply.isError()) {
                    setService(Service::Missing);
                    return;
                }
                setService(Service::Found);
                m_keys.insert(reply.value(), key);
            });
}

void DBusNotifier::actionInvoked(uint id, const QString& action) {
    const auto it = m_keys.constFind(id);
    if (it == m_keys.constEnd())
        return;
    if (action == QLatin1String(DefaultAction))
        Q_EMIT activated(*it);
    else if (action == QLatin1String(JoinAction))
        Q_EMIT joinRequested(*it);
}

void DBusNotifier::closed(uint id) {
    m_keys.remove(id);
}

#include "DBusNotifier.moc"
