#pragma once

#include <QProcess>
#include <QString>

#include <memory>

namespace cv::test {

// A dbus-daemon of the test's own, with no service files (so nothing is ever activated) and its
// socket in a temporary folder; stopped with the object, or with the test program if that dies.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // The bus address for QDBusConnection::connectToBus; empty when the daemon did not start.
    const QString& address() const { return m_address; }

private:
    QString m_folder;
    QProcess m_daemon;
    QString m_address;
};

} // namespace cv::test
