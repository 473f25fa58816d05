#pragma once

#include <QProcess>
#include <QString>

namespace cv::test {

// A dbus-daemon of the test's own (no service files, so nothing is ever activated), its socket in
// a temporary folder; stopped with the object, or with the test program if that dies.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The bus address; empty when the daemon did not start.
    const QString& address() const { return m_address; }

private:
    QString m_folder;
    QProcess m_daemon;
    QString m_address;
};

} // namespace cv::test
