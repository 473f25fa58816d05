#pragma once

#include "TempDir.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace cv::test {

// A dbus-daemon of the test's own, listening on a socket in its own temporary folder and stopped
// when the object goes away. Given a helper executable, the bus starts it (with --bus and the
// bus's address, then the extra arguments) when the helper's name is first called, as the system
// bus does. Run as root, the bus follows the system bus's rules (nothing may be owned or called
// unless a policy allows it) and includes the helper's own bus policy, so that the policy file is
// tested too; otherwise it allows everything.
class PrivateBus
{
public:
    explicit PrivateBus(const QString& helperExecutable = QString(), const QStringList& helperArguments = {});
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The bus address; empty when the daemon did not start.
    const QString& address() const { return m_address; }
    // The bus's temporary folder, open to every user; tests may keep their files here.
    const std::string& folder() const { return m_folder.path(); }

private:
    TempDir m_folder;
    QProcess m_daemon;
    QString m_address;
};

// Whether the process pid is alive and not yet a zombie (a bus's helper is the bus's child, and
// nobody may reap it soon).
bool isProcessRunning(qint64 pid);

} // namespace cv::test
