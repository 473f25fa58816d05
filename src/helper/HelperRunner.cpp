#include "helper/HelperRunner.h"

#include "common/ExitStatus.h"
#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helper/HelperTool.h"
#include "helperadaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

namespace cv {

namespace {

constexpr int kBusCheckMs = 1000;
// Calls the bus routed to the helper before it gave up its name are answered in this time.
constexpr int kLeaveGraceMs = 200;

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
    HelperTool tool(connection, authorizer, {options.idleExitMs, toolSearchPath, options.reformatStageHook});
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

    const int status = QCoreApplication::exec();
    connection.unregisterObject(QString::fromLatin1(HelperToolProtocol::objectPath));
    if (!options.busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
    return status;
}

} // namespace cv
