#pragma once

#include "Notifier.h"

#include <QHash>
#include <memory>

class NotificationsProxy;

// The freedesktop notification service on the session bus. Every call is asynchronous
// with a short timeout, so a missing or hanging service never stops the window.
class DBusNotifier : public Notifier {
    Q_OBJECT
public:
    explicit DBusNotifier(QObject* parent = nullptr);
    ~DBusNotifier() override;

    void probe() override;
    void notify(const QString& title, const QStringList& lines, const QString& key,
                bool offerJoin = false) override;

private:
    // The proxy, made on first use; false when there is no session bus.
    bool connectService();
    void askCapabilities();
    void actionInvoked(uint id, const QString& action);
    void closed(uint id);

    std::unique_ptr<NotificationsProxy> m_proxy;
    bool m_noBus = false;
    bool m_bodyMarkup = true;    // until the service says otherwise, escape to be safe
    QHash<uint, QString> m_keys; // notification id -> key, while it is shown
};
