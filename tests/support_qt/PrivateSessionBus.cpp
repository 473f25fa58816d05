#include "PrivateSessionBus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace cv::test {

PrivateSessionBus::PrivateSessionBus()
{
    QTemporaryDir folder;
    folder.setAutoRemove(false);
    if (!folder.isValid())
        return;
    m_folder = folder.path();
    const QString configPath = m_folder + u"/session.conf"_s;
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(
        QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
            .arg(m_folder)
            .toUtf8());
    config.close();

    // The daemon goes with the test program, even when that crashes.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(u"dbus-daemon"_s, {u"--config-file"_s, configPath, u"--nofork"_s, u"--print-address=1"_s});
    if (!m_daemon.waitForStarted(10000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    if (!m_folder.isEmpty())
        QDir(m_folder).removeRecursively();
}

} // namespace cv::test
