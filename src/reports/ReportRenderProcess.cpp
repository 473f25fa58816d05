#include "reports/ReportRenderProcess.h"

#include "common/ExitStatus.h"
#include "common/Log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

#ifndef CINDERVAULT_LIBEXEC_DIR
#define CINDERVAULT_LIBEXEC_DIR "/usr/libexec/cindervault"
#endif

namespace cv {

namespace {

// How much of the renderer's standard error is kept for the reason of a failure.
constexpr qsizetype kKeptErrorText = 4096;

bool isProgram(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The last non-empty line of the renderer's standard error, without the web engine's
// "[pid:tid:time:LEVEL:file(line)]" prefix.
QString lastLine(const QString& text)
{
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    QString line = lines.isEmpty() ? QString() : lines.last().trimmed();
    if (line.startsWith(u'[') && line.indexOf(u']') > 0)
        line = line.mid(line.indexOf(u']') + 1).trimmed();
    return line;
}

} // namespace

ReportRenderProcess::ReportRenderProcess(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        killGroup();
        finish(false, tr("the report renderer made no progress for %1 seconds")
                          .arg(std::chrono::duration_cast<std::chrono::seconds>(m_timeout).count()));
    });
}

ReportRenderProcess::~ReportRenderProcess()
{
    if (m_running)
        killGroup();
    if (m_process) {
        m_process->disconnect(this);
        m_process->waitForFinished(1000);
    }
}

QString ReportRenderProcess::programPath()
{
    const QString chosen = qEnvironmentVariable(kProgramVariable);
    if (!chosen.isEmpty())
        return isProgram(chosen) ? chosen : QString();
    const QString beside =
        QFileInfo(u"/proc/self/exe"_s).canonicalPath() + u'/' + QLatin1String(kProgramName);
    if (isProgram(beside))
        return beside;
    const QString installed = QStringLiteral(CINDERVAULT_LIBEXEC_DIR) + u'/' + QLatin1String(kProgramName);
    return isProgram(installed) ? installed : QString();
}

void ReportRenderProcess::start(const QString& htmlPath, const QString& pdfPath)
{
    if (m_running)
        return;
    m_running = true;
    m_stderr.clear();
    const QString program = programPath();
    if (program.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                finish(false, tr("the report renderer %1 is not installed").arg(QLatin1String(kProgramName)));
            },
            Qt::QueuedConnection);
        return;
    }
    auto* process = new QProcess(this);
    m_process = process;
    process->setProgram(program);
    process->setArguments({htmlPath, pdfPath});
    process->setChildProcessModifier([] {
        // Its own process group: a terminal's Ctrl-C reaches the command line only, and a group
        // kill takes the web engine's helper processes too. No signal blocked: the command line
        // blocks SIGINT and SIGTERM while it finishes a job, and a blocked mask survives exec.
        ::setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
    });
    connect(process, &QProcess::readyReadStandardError, this, [this, process] {
        m_stderr += QString::fromLocal8Bit(process->readAllStandardError());
        if (m_stderr.size() > kKeptErrorText)
            m_stderr = m_stderr.right(kKeptErrorText);
    });
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        // A line for each page printed: it is at work.
        process->readAllStandardOutput();
        if (m_running)
            m_timer->start(m_timeout);
    });
    connect(process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        processFinished(exitCode, status == QProcess::CrashExit);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(false, tr("the report renderer could not be started: %1").arg(process->errorString()));
    });
    m_timer->start(m_timeout);
    process->start(QIODevice::ReadOnly);
    m_pid = process->processId();
}

void ReportRenderProcess::processFinished(int exitCode, bool crashed)
{
    if (!m_running)
        return;
    if (m_process)
        m_stderr += QString::fromLocal8Bit(m_process->readAllStandardError());
    const QString said = lastLine(m_stderr);
    if (crashed) {
        // The web engine's helper processes may outlive a renderer that crashed.
        killGroup();
        finish(false, said.isEmpty() ? tr("the report renderer crashed")
                                     : tr("the report renderer crashed: %1").arg(said));
    } else if (exitCode != kExitOk) {
        finish(false, said.isEmpty() ? tr("the report renderer failed (exit status %1)").arg(exitCode)
                      : said.startsWith(u"cindervault-render: "_s) ? said.mid(20)
                                                                   : said);
    } else {
        finish(true, QString());
    }
}

void ReportRenderProcess::killGroup()
{
    if (m_pid > 0)
        ::kill(-static_cast<pid_t>(m_pid), SIGKILL);
}

void ReportRenderProcess::finish(bool ok, const QString& error)
{
    if (!m_running)
        return;
    m_running = false;
    m_timer->stop();
    if (!ok)
        logMessage("Report rendering failed: ", error.toStdString());
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
    }
    m_pid = 0;
    emit finished(ok, error);
}

} // namespace cv
