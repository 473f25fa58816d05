#include "FakeNotificationServer.h"

using namespace Qt::StringLiterals;

namespace cv::test {

FakeNotificationServer::FakeNotificationServer(const QDBusConnection& bus) : m_bus(bus)
{
    m_registered =
        m_bus.registerObject(u"/org/freedesktop/Notifications"_s, this,
                             QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
        m_bus.registerService(u"org.freedesktop.Notifications"_s);
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_bus.unregisterService(u"org.freedesktop.Notifications"_s);
    m_bus.unregisterObject(u"/org/freedesktop/Notifications"_s);
}

uint FakeNotificationServer::Notify(const QString& appName, uint, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int timeout)
{
    notifications.append({m_nextId, appName, appIcon, summary, body, actions, hints, timeout});
    emit notified();
    return m_nextId++;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    closed.append(id);
    emit closedCalled();
    emit NotificationClosed(id, 3); // closed by a call to CloseNotification
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return {u"actions"_s, u"body"_s, u"sound"_s};
}

} // namespace cv::test
