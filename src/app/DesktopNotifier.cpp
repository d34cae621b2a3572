#include "app/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>
#include <QGuiApplication>

namespace {

constexpr const char* defaultAction = "default";

} // namespace

DesktopNotifier::DesktopNotifier(BusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

DesktopNotifier::DesktopNotifier(const QDBusConnection& connection, QObject* parent)
    : DesktopNotifier([connection] { return connection; }, parent)
{
}

bool DesktopNotifier::connected()
{
    if (m_connection)
        return m_connection->isConnected();
    m_connection = m_bus();
    if (!m_connection->isConnected())
        return false;
    const QString name = QLatin1String(service);
    const QString object = QLatin1String(path);
    const QString methods = QLatin1String(interface);
    m_connection->connect(
        name, object, methods, QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
    m_connection->connect(
        name, object, methods, QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(uint, uint)));
    return true;
}

void DesktopNotifier::notify(const QString& summary, const QString& body, std::function<void()> activated,
    std::function<void(bool delivered)> finished)
{
    if (!connected()) {
        finished(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(service), QLatin1String(path), QLatin1String(interface), QStringLiteral("Notify"));
    const QString desktopEntry = QGuiApplication::desktopFileName();
    QVariantMap hints;
    if (!desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
    // The service shows the message even for an application name it does not know;
    // the icon is the one the desktop file installs.
    call << QCoreApplication::applicationName() << uint(0) << desktopEntry << summary << body
         << QStringList {QLatin1String(defaultAction),
                QCoreApplication::translate("DesktopNotifier", "Show", "Desktop notification button")}
         << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_connection->asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, activated = std::move(activated), finished = std::move(finished)](QDBusPendingCallWatcher* done) {
            done->deleteLater();
            const QDBusPendingReply<uint> reply = *done;
            if (reply.isError()) {
                qDebug().noquote() << "No desktop notification:" << reply.error().message();
                finished(false);
                return;
            }
            m_activations.insert(reply.value(), activated);
            finished(true);
        });
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    if (action != QLatin1String(defaultAction))
        return;
    // A copy: the action may bring up a window that outlives this call.
    const std::function<void()> activated = m_activations.take(id);
    if (activated)
        activated();
}

void DesktopNotifier::onNotificationClosed(uint id, uint)
{
    // Some desktops close the message before they report the click; keep it a moment.
    QMetaObject::invokeMethod(
        this, [this, id] { m_activations.remove(id); }, Qt::QueuedConnection);
}
