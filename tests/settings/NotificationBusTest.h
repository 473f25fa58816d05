#pragma once

#include "FakeNotificationServer.h"
#include "PrivateBus.h"
#include "TempDir.h"
#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"

#include <QDBusConnection>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace cv::test {

// Tests of what reaches the desktop's notifications: a private bus for the suite, and per test a
// notification manager on a connection of its own, settings in a temporary file and, once
// started, a notification server on a second connection.
class NotificationBusTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { s_bus = std::make_unique<PrivateBus>(); }
    static void TearDownTestSuite() { s_bus.reset(); }

    void SetUp() override
    {
        ASSERT_FALSE(s_bus->address().isEmpty()) << "dbus-daemon did not start";
        const QString suffix = QString::number(++s_connections);
        m_serverBus = QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("server") + suffix);
        m_clientBus = QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("client") + suffix);
        ASSERT_TRUE(m_serverBus.isConnected() && m_clientBus.isConnected());
        settings = std::make_unique<SettingsManager>(QString::fromStdString(m_dir / "Cindervault.ini"));
        notifications = std::make_unique<NotificationManager>(*settings, m_clientBus);
    }

    void TearDown() override
    {
        notifications.reset();
        notificationServer.reset();
        QDBusConnection::disconnectFromBus(m_serverBus.name());
        QDBusConnection::disconnectFromBus(m_clientBus.name());
    }

    void startNotificationServer()
    {
        notificationServer = std::make_unique<FakeNotificationServer>(m_serverBus);
        ASSERT_TRUE(notificationServer->registered());
    }

    // Waits until the server holds count notifications.
    bool waitForNotifications(qsizetype count)
    {
        return QTest::qWaitFor([&] { return notificationServer->notifications.size() >= count; }, 10000);
    }

    static inline std::unique_ptr<PrivateBus> s_bus;
    static inline int s_connections = 0;
    TempDir m_dir;
    QDBusConnection m_serverBus{QString()};
    QDBusConnection m_clientBus{QString()};
    std::unique_ptr<SettingsManager> settings;
    std::unique_ptr<FakeNotificationServer> notificationServer;
    std::unique_ptr<NotificationManager> notifications;
};

} // namespace cv::test
