#include "system/HelperToolService.h"

#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helpertoolproxy.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>

namespace cv {

namespace {

constexpr int kVersionTimeoutMs = 25000;
// The engine stops waiting for a file call after 5 seconds; the call itself is left time for the
// user to answer polkit's password prompt, which the helper's answer waits for.
constexpr int kFileCallTimeoutMs = 120000;
// A reformat or a snapshot deletion takes as long as it takes. The bus still answers at once when
// the helper cannot be started or goes away.
constexpr int kUnlimitedTimeoutMs = std::numeric_limits<int>::max();
// A call the helper answers busy is sent again after these pauses, doubling up to the longest.
constexpr int kFirstBusyRetryMs = 200;
constexpr int kMaxBusyRetryMs = 2000;

QByteArray pathBytes(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

// Errors of the bus and of Qt's D-Bus layer mean the helper could not be reached or did not answer;
// everything else, AccessDenied included, is the helper's own answer.
bool isProxyError(const QString& name)
{
    return (name.startsWith(QLatin1String("org.freedesktop.DBus.Error.")) &&
            name != QLatin1String(HelperToolProtocol::errorAccessDenied)) ||
           name.startsWith(QLatin1String("org.qtproject.QtDBus.Error."));
}

std::string describe(const QDBusMessage& error)
{
    const QString message = error.errorMessage().isEmpty() ? error.errorName() : error.errorMessage();
    return QStringLiteral("%1 (%2)").arg(message, error.errorName()).toStdString();
}

} // namespace

HelperToolService::HelperToolService(const QString& busAddress, QObject* parent)
    : QObject(parent), m_busAddress(busAddress)
{
    static std::atomic<int> instances{0};
    m_connectionName = QStringLiteral("cindervault-helper-client-%1").arg(++instances);
    const QString installer =
        installerPath(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
    if (!installer.isEmpty()) {
        m_installProgram = QStringLiteral("pkexec");
        m_installArguments = {installer};
    }
}

HelperToolService::~HelperToolService()
{
    m_helperTool.reset();
    if (!m_busAddress.isEmpty() && m_helperToolConnection)
        QDBusConnection::disconnectFromBus(m_connectionName);
}

HelperToolService& HelperToolService::sharedInstance()
{
    static HelperToolService* const instance = [] {
        auto* service = new HelperToolService();
        if (QCoreApplication* application = QCoreApplication::instance()) {
            service->moveToThread(application->thread());
            service->setParent(application);
        }
        return service;
    }();
    return *instance;
}

QString HelperToolService::installerPath(const QString& applicationDir)
{
    // Only a build started from its build tree installs a helper, its own. An installed program
    // finds its helper where the package put it and never runs anything as root itself.
    if (!(applicationDir + QLatin1Char('/')).startsWith(QStringLiteral(CINDERVAULT_BUILD_DIR "/")))
        return QString();
    const QString bundle = QStringLiteral(CINDERVAULT_BUILD_HELPER_BUNDLE);
    const QFileInfo installer(bundle + QStringLiteral("/cindervault-helper-install"));
    if (installer.isFile() && installer.isExecutable() &&
        QFileInfo(bundle + QStringLiteral("/cindervault-helper")).isFile())
        return installer.absoluteFilePath();
    return QString();
}

void HelperToolService::setInstallCommand(const QString& program, const QStringList& arguments)
{
    m_installProgram = program;
    m_installArguments = arguments;
}

void HelperToolService::runOnServiceThread(std::function<void()> command)
{
    // Always posted, also on the service's own thread, so that a reply never runs inside the call
    // that asked for it.
    QMetaObject::invokeMethod(this, std::move(command), Qt::QueuedConnection);
}

void HelperToolService::connectToHelperTool()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_helperToolConnection && m_helperToolConnection->isConnected())
        return;
    m_helperTool.reset();
    m_helperToolConnection.reset();
    QDBusConnection connection = m_busAddress.isEmpty()
                                     ? QDBusConnection::systemBus()
                                     : QDBusConnection::connectToBus(m_busAddress, m_connectionName);
    if (!connection.isConnected()) {
        if (!m_busAddress.isEmpty())
            QDBusConnection::disconnectFromBus(m_connectionName);
        return;
    }
    m_helperToolConnection = connection;
    // Calls go to the helper's well-known name, so that the bus starts a new helper when the last
    // one left for being idle.
    m_helperTool =
        std::make_unique<HelperToolProxy>(QLatin1String(HelperToolProtocol::serviceName),
                                          QLatin1String(HelperToolProtocol::objectPath), connection);
}

void HelperToolService::invalidateConnection()
{
    if (!m_helperToolConnection)
        return;
    m_helperTool.reset();
    m_helperToolConnection.reset();
    if (!m_busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    logLine("HelperTool connection invalidated");
}

void HelperToolService::connectAndExecuteCommandBlock(
    const std::function<void(Expected<HelperToolProxy*, std::string>)>& block)
{
    Q_ASSERT(QThread::currentThread() == thread());
    connectToHelperTool();
    if (!m_helperTool) {
        block(Unexpected(m_busAddress.isEmpty()
                             ? std::string("The system bus cannot be reached")
                             : "The bus " + m_busAddress.toStdString() + " cannot be reached"));
        return;
    }
    block(m_helperTool.get());
}

void HelperToolService::sendCommand(const char* method, Call call, int timeoutMs, Reply reply,
                                    const char* successLog)
{
    sendAttempt(method, std::move(call), QDeadlineTimer(timeoutMs), kFirstBusyRetryMs, std::move(reply),
                successLog);
}

void HelperToolService::sendAttempt(const char* method, Call call, QDeadlineTimer deadline, int retryMs,
                                    Reply reply, const char* successLog)
{
    connectAndExecuteCommandBlock([&](Expected<HelperToolProxy*, std::string> helperTool) {
        if (!helperTool) {
            logMessage("Proxy Error ", helperTool.error());
            if (reply)
                reply(Unexpected(helperTool.error()));
            return;
        }
        HelperToolProxy& proxy = **helperTool;
        proxy.setTimeout(
            static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, kUnlimitedTimeoutMs)));
        auto* watcher = new QDBusPendingCallWatcher(call(proxy), this);
        connect(
            watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method, call, deadline, retryMs, reply, successLog](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusMessage answer = finished->reply();
                // The helper is still asking polkit about an earlier call of ours (the user may be
                // typing the password): this call is sent again until that is answered.
                if (answer.errorName() == QLatin1String(HelperToolProtocol::errorBusy) &&
                    deadline.remainingTime() > retryMs) {
                    if (retryMs == kFirstBusyRetryMs)
                        logMessage("HelperTool busy, ", method, " is sent again shortly");
                    QTimer::singleShot(retryMs, this, [=, this]() {
                        sendAttempt(method, call, deadline, std::min(retryMs * 2, kMaxBusyRetryMs), reply,
                                    successLog);
                    });
                    return;
                }
                if (answer.type() == QDBusMessage::ErrorMessage) {
                    const std::string text = describe(answer);
                    if (isProxyError(answer.errorName())) {
                        logMessage("Proxy Error ", text);
                        if (!m_helperToolConnection || !m_helperToolConnection->isConnected())
                            invalidateConnection();
                    } else {
                        logMessage("Error ", text);
                    }
                    if (reply)
                        reply(Unexpected(text));
                    return;
                }
                if (successLog)
                    logLine(successLog);
                if (reply)
                    reply({});
            });
    });
}

void HelperToolService::allowWriteOperationsOnPath(const std::string& path, Reply reply)
{
    runOnServiceThread([this, bytes = pathBytes(path), reply = std::move(reply)]() {
        sendCommand(
            "changePermissionsOfFileAt",
            [bytes](HelperToolProxy& helperTool) { return helperTool.changePermissionsOfFileAt(bytes); },
            kFileCallTimeoutMs, reply, nullptr);
    });
}

void HelperToolService::deleteFileAtPath(const std::string& path, Reply reply)
{
    runOnServiceThread([this, bytes = pathBytes(path), reply = std::move(reply)]() {
        sendCommand(
            "deleteFileAtPath",
            [bytes](HelperToolProxy& helperTool) { return helperTool.deleteFileAtPath(bytes); },
            kFileCallTimeoutMs, reply, nullptr);
    });
}

void HelperToolService::reformatVolumeAt(const std::string& mountPath, Reply reply)
{
    runOnServiceThread([this, bytes = pathBytes(mountPath), reply = std::move(reply)]() {
        sendCommand(
            "reformatVolumeAt",
            [bytes](HelperToolProxy& helperTool) { return helperTool.reformatVolumeAt(bytes); },
            kUnlimitedTimeoutMs, reply, nullptr);
    });
}

void HelperToolService::deleteSnapshotsWithReply(Reply reply)
{
    runOnServiceThread([this, reply = std::move(reply)]() {
        sendCommand(
            "deleteSnapshots", [](HelperToolProxy& helperTool) { return helperTool.deleteSnapshots(); },
            kUnlimitedTimeoutMs, reply, "Success in Deleting Snapshots");
    });
}

void HelperToolService::installIfNeeded()
{
    updateIfNeeded();
}

void HelperToolService::updateIfNeeded()
{
    runOnServiceThread([this]() {
        const QString expected = QLatin1String(HelperToolProtocol::version);
        connectAndExecuteCommandBlock([&](Expected<HelperToolProxy*, std::string> helperTool) {
            if (!helperTool) {
                logMessage("Proxy Error ", helperTool.error());
                Q_EMIT updateChecked(false);
                installAction();
                return;
            }
            HelperToolProxy& proxy = **helperTool;
            proxy.setTimeout(kVersionTimeoutMs);
            auto* watcher = new QDBusPendingCallWatcher(proxy.getVersion(), this);
            connect(watcher, &QDBusPendingCallWatcher::finished, this,
                    [this, expected](QDBusPendingCallWatcher* finished) {
                        finished->deleteLater();
                        const QDBusMessage answer = finished->reply();
                        if (answer.type() != QDBusMessage::ReplyMessage) {
                            logMessage("Proxy Error ", describe(answer));
                            Q_EMIT updateChecked(false);
                            installAction();
                            return;
                        }
                        const QString actual = answer.arguments().isEmpty()
                                                   ? QString()
                                                   : answer.arguments().constFirst().toString();
                        if (actual == expected) {
                            logMessage("Expected Version = ", expected.toStdString(),
                                       " actual version = ", actual.toStdString(), " -> ok ");
                            Q_EMIT updateChecked(true);
                            return;
                        }
                        logMessage("Expected Version = ", expected.toStdString(),
                                   " actual version = ", actual.toStdString(), " need Update ");
                        Q_EMIT updateChecked(false);
                        installAction();
                    });
        });
    });
}

void HelperToolService::installAction()
{
    runOnServiceThread([this]() {
        if (m_installing)
            return;
        if (m_installProgram.isEmpty()) {
            logLine("HelperTool installation error: the helper is installed with the cindervault package, "
                    "not by the application");
            Q_EMIT installFinished(false);
            return;
        }
        // Running something as root is said where the user started the build from.
        std::fprintf(stderr,
                     "cindervault: the privileged helper is missing or of another version; installing this "
                     "build's helper as root (%s) with: %s %s\n",
                     CINDERVAULT_SELF_INSTALL_HELPER, qPrintable(m_installProgram),
                     qPrintable(m_installArguments.join(QLatin1Char(' '))));
        m_installing = true;
        auto* process = new QProcess(this);
        process->setProgram(m_installProgram);
        process->setArguments(m_installArguments);
        process->setStandardInputFile(QProcess::nullDevice());
        const auto finish = [this, process](bool success, const QString& problem) {
            m_installing = false;
            if (success)
                logLine("HelperTool installation successful");
            else
                logMessage("HelperTool installation error: ", problem.toStdString());
            process->deleteLater();
            Q_EMIT installFinished(success);
        };
        connect(
            process, &QProcess::finished, this, [process, finish](int exitCode, QProcess::ExitStatus status) {
                const QString errors = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                if (status == QProcess::NormalExit && exitCode == 0)
                    finish(true, QString());
                else if (status != QProcess::NormalExit)
                    finish(false, QStringLiteral("%1 ended abnormally").arg(process->program()));
                else
                    finish(false, errors.isEmpty() ? QStringLiteral("exit status %1").arg(exitCode) : errors);
            });
        connect(process, &QProcess::errorOccurred, this, [process, finish](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finish(false, QStringLiteral("%1 could not be started: %2")
                                  .arg(process->program(), process->errorString()));
        });
        process->start();
    });
}

} // namespace cv
