#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace cv::test {

// A small org.freedesktop.Notifications server on a test bus: it records every notification and
// every removal, and announces removals as a real server does.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification
    {
        uint id = 0;
        QString appName;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
    };

    // Registers the server and its name on the bus; check registered().
    explicit FakeNotificationServer(const QDBusConnection& bus);
    ~FakeNotificationServer() override;

    bool registered() const { return m_registered; }
    QList<Notification> notifications;
    QList<uint> closed;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();

signals:
    void NotificationClosed(uint id, uint reason);
    void notified();
    void closedCalled();

private:
    QDBusConnection m_bus;
    bool m_registered = false;
    uint m_nextId = 101; // not 1, so that an id made up by the client is not mistaken for ours
};

} // namespace cv::test
