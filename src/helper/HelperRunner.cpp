#include "helper/HelperRunner.h"

#include "common/ExitStatus.h"
#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helper/HelperTool.h"
#include "helperadaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kBusCheckMs = 1000;
// Calls the bus routed to the helper before it gave up its name are answered in this time.
constexpr int kLeaveGraceMs = 200;

// SIGTERM (systemctl stop, the package's scripts before removal or upgrade) and SIGINT reach the
// event loop through this pipe, whichever thread the signal lands on.
int g_stopPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_stopPipe[1], &byte, 1);
    errno = saved;
}

// Stops the event loop on SIGTERM or SIGINT; the helper then finishes the work it is carrying out
// before it exits (HelperTool's destructor).
std::unique_ptr<QSocketNotifier> watchStopSignals()
{
    if (g_stopPipe[0] < 0 && ::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    auto notifier = std::make_unique<QSocketNotifier>(g_stopPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [] {
        char drained[16];
        while (::read(g_stopPipe[0], drained, sizeof drained) > 0) {
        }
        logLine("cindervault-helper leaves: asked to stop");
        QCoreApplication::quit();
    });
    return notifier;
}

} // namespace

Expected<HelperRunner::Options, QString> HelperRunner::parseArguments(const QStringList& arguments,
                                                                      Options options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--bus") && hasValue) {
            options.busAddress = arguments.at(++i);
        } else if (argument == QLatin1String("--idle-exit") && hasValue) {
            bool ok = false;
            const double seconds = arguments.at(++i).toDouble(&ok);
            if (!ok || seconds <= 0 || seconds > 86400)
                return Unexpected(
                    QStringLiteral("--idle-exit takes a number of seconds, not %1").arg(arguments.at(i)));
            options.idleExitMs = static_cast<int>(seconds * 1000);
        } else {
            return Unexpected(
                QStringLiteral("Unknown argument %1; usage: cindervault-helper [--bus ADDRESS] [--idle-exit "
                               "SECONDS]")
                    .arg(argument));
        }
    }
    return options;
}

int HelperRunner::run(const Options& options, Authorizer& authorizer,
                      const std::vector<std::string>& toolSearchPath)
{
    const QString connectionName = QStringLiteral("cindervault-helper");
    QDBusConnection connection = options.busAddress.isEmpty()
                                     ? QDBusConnection::systemBus()
                                     : QDBusConnection::connectToBus(options.busAddress, connectionName);
    if (!connection.isConnected()) {
        logMessage("Cannot connect to the bus: ", connection.lastError().message().toStdString());
        return kExitFailure;
    }

    const QString serviceName = QString::fromLatin1(HelperToolProtocol::serviceName);
    // The devices and inodes of a list of entries (allowEntriesAt) travel as arrays of 64-bit numbers.
    qDBusRegisterMetaType<QByteArrayList>();
    qDBusRegisterMetaType<QList<qulonglong>>();
    HelperTool tool(connection, authorizer,
                    {options.idleExitMs, toolSearchPath, options.reformatStageHook, options.systemFolders});
    new HelperToolAdaptor(&tool); // owned by the tool
    if (!connection.registerObject(QString::fromLatin1(HelperToolProtocol::objectPath), &tool,
                                   QDBusConnection::ExportAdaptors)) {
        logLine("Cannot register the object /HelperTool");
        return kExitFailure;
    }
    if (!connection.registerService(serviceName)) {
        logMessage("Cannot own the name ", HelperToolProtocol::serviceName, ": ",
                   connection.lastError().message().toStdString());
        return kExitFailure;
    }
    logMessage("cindervault-helper ", HelperToolProtocol::version, " serving on ",
               options.busAddress.isEmpty() ? std::string("the system bus")
                                            : options.busAddress.toStdString());

    bool leaving = false;
    QObject::connect(&tool, &HelperTool::idle, &tool, [&]() {
        if (!leaving) {
            leaving = true;
            connection.unregisterService(serviceName);
        }
        QTimer::singleShot(kLeaveGraceMs, &tool, [&tool]() {
            if (tool.activeCalls() == 0) {
                logLine("cindervault-helper leaves: idle");
                QCoreApplication::quit();
            }
        });
    });
    QTimer busCheck;
    QObject::connect(&busCheck, &QTimer::timeout, &tool, [&connection]() {
        if (!connection.isConnected()) {
            logLine("cindervault-helper leaves: the bus went away");
            QCoreApplication::quit();
        }
    });
    busCheck.start(kBusCheckMs);
    const auto stopSignals = watchStopSignals();

    const int status = QCoreApplication::exec();
    connection.unregisterObject(QString::fromLatin1(HelperToolProtocol::objectPath));
    if (!options.busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
    return status;
}

} // namespace cv
