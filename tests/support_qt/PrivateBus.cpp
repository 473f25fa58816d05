#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv::test {

namespace {

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

// The system bus's rules: nothing may be owned or called unless a policy says so; root may do
// everything, as it may on the system bus through the policies of the services it runs.
const char* const kSystemRules = R"(
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Introspectable"/>
    <!-- polkit's own policy: anyone may talk to the authority (a text agent registers with it). -->
    <allow send_destination="org.freedesktop.PolicyKit1"/>
  </policy>
  <policy user="root">
    <allow own="*"/>
    <allow send_type="method_call"/>
  </policy>
  <include>%1</include>
)";

const char* const kOpenRules = R"(
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
)";

} // namespace

bool isProcessRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() && line.at(end + 2) != 'Z' && line.at(end + 2) != 'X';
}

PrivateBus::PrivateBus(const QString& helperExecutable, const QStringList& helperArguments)
{
    const QString folder = QString::fromStdString(m_folder.path());
    // The unprivileged callers of a test reach the socket and the test's files through here.
    ::chmod(m_folder.path().c_str(), 0755);
    const QString services = folder + QStringLiteral("/services");
    ::mkdir(services.toLocal8Bit().constData(), 0755);
    const QString socketAddress = QStringLiteral("unix:path=") + folder + QStringLiteral("/bus");

    if (!helperExecutable.isEmpty()) {
        QStringList command = {helperExecutable, QStringLiteral("--bus"), socketAddress};
        command += helperArguments;
        if (!writeText(
                services + QStringLiteral("/com.Ostrevane.CindervaultForMac.HelperTool.service"),
                QStringLiteral("[D-BUS Service]\nName=com.Ostrevane.CindervaultForMac.HelperTool\nExec=%1\n")
                    .arg(command.join(QLatin1Char(' ')))))
            return;
    }

    const QString rules =
        ::geteuid() == 0 ? QString::fromUtf8(kSystemRules).arg(QStringLiteral(CINDERVAULT_HELPER_BUS_POLICY))
                         : QString::fromUtf8(kOpenRules);
    const QString configPath = folder + QStringLiteral("/bus.conf");
    const QString config =
        QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>custom</type>
  <listen>%1</listen>
  <auth>EXTERNAL</auth>
  <servicedir>%2</servicedir>
%3
</busconfig>
)")
            .arg(socketAddress, services, rules);
    if (!writeText(configPath, config))
        return;

    // The daemon goes with the test program, even when that crashes; the helpers it started leave
    // when they lose the bus.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(10000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    // The helper the bus started goes with it: it would leave by itself when it notices that the
    // bus is gone, but the test should not wait for that.
    qint64 helper = 0;
    if (!m_address.isEmpty()) {
        const QString name = QStringLiteral("private-bus-teardown");
        {
            QDBusConnection connection = QDBusConnection::connectToBus(m_address, name);
            const QDBusReply<uint> pid =
                connection.interface() ? connection.interface()->servicePid(
                                             QStringLiteral("com.Ostrevane.CindervaultForMac.HelperTool"))
                                       : QDBusReply<uint>();
            if (pid.isValid())
                helper = pid.value();
        }
        QDBusConnection::disconnectFromBus(name);
    }
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    if (helper > 0 && ::kill(static_cast<pid_t>(helper), SIGTERM) == 0) {
        QElapsedTimer waited;
        waited.start();
        while (isProcessRunning(helper) && waited.elapsed() < 5000)
            ::usleep(10000);
    }
}

} // namespace cv::test
