#pragma once

#include "tracking/FollowUpReminder.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus). Calls never block: without a
// bus or a service the message is simply not delivered, and nobody is told. The bus
// is reached at the first message, not at start-up: most starts send none.
class DesktopNotifier : public QObject, public FollowUpNotifier {
    Q_OBJECT

public:
    static constexpr const char* service = "org.freedesktop.Notifications";
    static constexpr const char* path = "/org/freedesktop/Notifications";
    static constexpr const char* interface = "org.freedesktop.Notifications";
    // How long the service may take to answer before the message counts as lost.
    static constexpr int callTimeoutMs = 5000;

    using BusConnection = std::function<QDBusConnection()>;
    explicit DesktopNotifier(BusConnection bus = &QDBusConnection::sessionBus, QObject* parent = nullptr);
    explicit DesktopNotifier(const QDBusConnection& connection, QObject* parent = nullptr);

    void notify(const QString& summary, const QString& body, std::function<void()> activated,
        std::function<void(bool delivered)> finished) override;

private Q_SLOTS:
    // Connected by name: the bus reaches slots only through the meta-object.
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    // The bus, reached on the first call; whether it is connected.
    bool connected();

    BusConnection m_bus;
    std::optional<QDBusConnection> m_connection;
    // What to do when a shown message is clicked, by the service's message id.
    QHash<uint, std::function<void()>> m_activations;
};
